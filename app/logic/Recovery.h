#pragma once
// Recovery copies: while a work has unsaved changes, the window keeps a copy
// of it in the user's state folder, so that a crash loses at most the last
// few seconds. Each running program has a copy of its own, named by its
// process, and holds a lock on it for as long as it runs; a copy whose lock
// nobody holds was left by a program that ended without cleaning up, and the
// next start offers it. Two programs at once never take each other's copy.

#include <string>
#include <vector>

#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

struct TRecovered {
  std::string Copy;      // the copy's path
  std::string WorkFile;  // the work's own file when it had one, else empty
};

class TRecovery {
 public:
  // Creates the folder when missing; a folder that cannot be made leaves
  // recovery off (Write does nothing) rather than stopping the program.
  explicit TRecovery(std::string folder);
  ~TRecovery();
  TRecovery(const TRecovery&) = delete;
  TRecovery& operator=(const TRecovery&) = delete;

  bool Enabled() const { return lockFd_ >= 0; }
  const std::string& CopyPath() const { return copy_; }
  // Writes this program's copy (atomically) with the work's own file name.
  // Throws as saving a work does when the copy cannot be written.
  void Write(TScene& scene, const TCaption& caption, const std::string& workFile);
  // Removes this program's copy: the work is saved, or back as saved, or the
  // program ends cleanly. Touches the disk only when a copy was written.
  void Discard();

  // Copies that programs left behind, each now locked for this program until
  // it is recovered or dropped.
  std::vector<TRecovered> Orphans();
  // Done with an orphan: its copy and lock are removed.
  void Drop(const TRecovered& orphan);

 private:
  std::string folder_;
  std::string copy_;
  int lockFd_ = -1;
  bool written_ = false;  // a copy may be on disk: Discard has something to remove
  std::vector<int> orphanLocks_;
};

}  // namespace vantrix
