#include <QtTest/QtTest>

class TFormsTest : public QObject {
  Q_OBJECT
 private slots:
  void Starts() { QVERIFY(true); }
};

QTEST_MAIN(TFormsTest)
#include "FormsTest.moc"
