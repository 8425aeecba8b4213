#include <QCoreApplication>

#include <gtest/gtest.h>

// QSerialPort and the event loop the control's events come through need an application object.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
