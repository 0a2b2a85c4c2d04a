#pragma once
// The record layout of the native outline buffer, the one definition its writer
// (NativeOutline.cpp) and its readers (the scene's caption parser, the tests)
// share.
//
// Layout, little-endian, the records filling the buffer exactly:
//   polygon header, kPolygonHeaderSize bytes: uint32 cb (bytes of the polygon,
//     header included), uint32 type (kPolygonType), start point;
//   then curve records up to cb, each a kRecordHeaderSize header: uint16 type
//     (kLineRecord or kSplineRecord), uint16 count; then count points.
// A point, kOutlinePointSize bytes, is two 16.16 fixed-point numbers, x then y, each
// read as one int32 in units of 1/65536 pixel; y grows upwards and the origin is
// the pen on the baseline. Between two consecutive controls of a spline record lies
// an implied on-curve point, ImpliedMidpoint of the two.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrix {

constexpr uint32_t kPolygonType = 24;
constexpr uint16_t kLineRecord = 1;
constexpr uint16_t kSplineRecord = 2;
constexpr uint32_t kPolygonHeaderSize = 16;
constexpr size_t kRecordHeaderSize = 4;
constexpr size_t kOutlinePointSize = 8;
constexpr int32_t kFixedOne = 65536;

struct TOutlinePoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TOutlinePoint&) const = default;
};

// The implied on-curve point between two spline controls: half the sum, truncated
// toward zero.
constexpr TOutlinePoint ImpliedMidpoint(TOutlinePoint a, TOutlinePoint b) {
  return {static_cast<int32_t>((static_cast<int64_t>(a.X) + b.X) / 2),
          static_cast<int32_t>((static_cast<int64_t>(a.Y) + b.Y) / 2)};
}

// Little-endian numbers, appended or overwritten in place.
inline void PutOutlineU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutOutlineU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PatchOutlineU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutOutlinePoint(std::vector<uint8_t>& out, TOutlinePoint p) {
  PutOutlineU32(out, static_cast<uint32_t>(p.X));
  PutOutlineU32(out, static_cast<uint32_t>(p.Y));
}

inline uint16_t ReadOutlineU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadOutlineU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline TOutlinePoint ReadOutlinePoint(const uint8_t* p) {
  return {static_cast<int32_t>(ReadOutlineU32(p)), static_cast<int32_t>(ReadOutlineU32(p + 4))};
}

// One curve record of a buffer, its points read in place.
struct TOutlineRecord {
  uint16_t Type = 0;
  uint16_t Count = 0;
  const uint8_t* Points = nullptr;
  TOutlinePoint Point(size_t k) const { return ReadOutlinePoint(Points + kOutlinePointSize * k); }
};

// What ended a walk before the end of the buffer.
enum class TOutlineDamage {
  None,
  PolygonCutOff,  // fewer bytes left than a polygon header
  PolygonType,    // a polygon type other than kPolygonType
  PolygonSize,    // cb smaller than the header or past the buffer
  RecordCutOff,   // fewer bytes left in the polygon than a record header
  RecordSize,     // a record's points run past its polygon
};

// What is wrong, in words; empty for None.
inline const char* OutlineDamageText(TOutlineDamage damage) {
  static constexpr const char* kText[] = {"",
                                          "polygon header cut off",
                                          "polygon type is not 24",
                                          "polygon size out of range",
                                          "record header cut off",
                                          "record runs past its polygon"};
  return kText[static_cast<size_t>(damage)];
}

// Walks a buffer polygon by polygon and record by record, checking only that each
// piece fits where the layout puts it; what the types and counts mean is the reader's.
// After damage both Next calls return false and Damage() says what was wrong.
class TOutlineWalker {
 public:
  TOutlineWalker(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The next polygon's start point; false at the end of the buffer or at damage.
  // Records of the previous polygon not read are passed over.
  bool NextPolygon(TOutlinePoint& start) {
    if (damage_ != TOutlineDamage::None || next_ >= size_) return false;
    const size_t pos = next_;
    if (size_ - pos < kPolygonHeaderSize) return Damaged(TOutlineDamage::PolygonCutOff);
    const uint32_t cb = ReadOutlineU32(data_ + pos);
    if (ReadOutlineU32(data_ + pos + 4) != kPolygonType) return Damaged(TOutlineDamage::PolygonType);
    if (cb < kPolygonHeaderSize || cb > size_ - pos) return Damaged(TOutlineDamage::PolygonSize);
    start = ReadOutlinePoint(data_ + pos + 8);
    record_ = pos + kPolygonHeaderSize;
    next_ = pos + cb;
    return true;
  }

  // The current polygon's next record; false at the polygon's end or at damage.
  bool NextRecord(TOutlineRecord& record) {
    if (damage_ != TOutlineDamage::None || record_ >= next_) return false;
    if (next_ - record_ < kRecordHeaderSize) return Damaged(TOutlineDamage::RecordCutOff);
    const uint16_t count = ReadOutlineU16(data_ + record_ + 2);
    const size_t bytes = kRecordHeaderSize + kOutlinePointSize * count;
    if (bytes > next_ - record_) return Damaged(TOutlineDamage::RecordSize);
    record = {ReadOutlineU16(data_ + record_), count, data_ + record_ + kRecordHeaderSize};
    record_ += bytes;
    return true;
  }

  TOutlineDamage Damage() const { return damage_; }

 private:
  bool Damaged(TOutlineDamage damage) {
    damage_ = damage;
    return false;
  }

  const uint8_t* data_;
  size_t size_;
  size_t next_ = 0;    // where the next polygon starts (the current one's end)
  size_t record_ = 0;  // where the current polygon's next record starts
  TOutlineDamage damage_ = TOutlineDamage::None;
};

}  // namespace vantrix
