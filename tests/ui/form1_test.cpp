#include "ui/qt/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_settings_backend.h"
#include "settings/settings_store.h"
#include "ui/main_controller.h"
#include "ui/qt/chart_widget.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_text_label.h"
#include "ui/qt/twips.h"

namespace ampelon {
namespace {

using testing::FakeClock;
using testing::FakeSerialControl;
using testing::FakeSettingsBackend;

const QRgb kGrey = qRgb(64, 64, 64);
const QRgb kAxisBlue = qRgb(0, 0, 192);
const QRgb kGreen = qRgb(192, 255, 192);

// Settings that give the window the size its widgets are laid out for: 7140 x 9150 twips
// outside, a client area of 7020 x 8460.
FakeSettingsBackend LayoutSizeGeometry() {
  FakeSettingsBackend backend;
  backend.Set("Window Left", "0");
  backend.Set("Window Top", "0");
  backend.Set("Window Width", "7140");
  backend.Set("Window Height", "9150");
  return backend;
}

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : m_window(m_clock, m_serial, m_settings, StartupPaths{"/home/"}) {
    m_window.Load();
    m_window.show();
    QCoreApplication::processEvents();
  }

  QString LabelText(const char* name) const {
    const auto* label = m_window.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
  }

  const QImage& Image() { return m_window.Grafik().Image(); }

  // The device pixel of a point in chart units (x from -1 over 1003 units, y from 1000 down).
  QPoint PixelOf(double x, double y) {
    return {static_cast<int>(std::floor((x + 1) * Image().width() / 1003.0)),
            static_cast<int>(std::floor((y - 1000) * Image().height() / -1003.0))};
  }

  // The rightmost column with a plotted point, or -1.
  int RightmostPointColumn() {
    for (int x = Image().width() - 1; x >= 0; --x) {
      for (int y = 0; y < Image().height(); ++y) {
        if (Image().pixel(x, y) == kGreen) return x;
      }
    }
    return -1;
  }

  void ReceiveAndTick(const std::string& text) {
    m_serial.Receive(text);
    m_window.Controller().OnTick();
  }

  FakeClock m_clock{36000.0f};
  FakeSerialControl m_serial;
  FakeSettingsBackend m_backend = LayoutSizeGeometry();
  SettingsStore m_settings{m_backend};
  Form1 m_window;
};

TEST_F(Form1Test, StartsWithItsCaptionsAndTimerAndTheStartWindowLabelled) {
  EXPECT_EQ(m_window.windowTitle(), QStringLiteral("Trevanix Ampelon"));
  const char* expected[] = {"1.00V", "1.05V", "1.10V", "1.15V", "1.20V", "1.25V", "1.30V"};
  for (int k = 0; k < 7; ++k) {
    const std::string name = "lab" + std::to_string(k + 1);
    EXPECT_EQ(LabelText(name.c_str()), QString::fromLatin1(expected[k])) << name;
  }
  EXPECT_EQ(LabelText("labvalue"), QString());
  EXPECT_EQ(LabelText("labtime"), QString());
  EXPECT_EQ(LabelText("Label3"), QStringLiteral("Current value:"));
  EXPECT_EQ(LabelText("Label4"), QStringLiteral("Charge time:"));
  EXPECT_EQ(LabelText("Label2"), QStringLiteral("Port Status:"));
  const auto* timer = m_window.findChild<QTimer*>(QStringLiteral("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 1000);
  EXPECT_TRUE(timer->isActive());
}

TEST_F(Form1Test, MenusListTheSixCommandsInOrder) {
  QStringList texts;
  for (QAction* menu : m_window.menuBar()->actions()) {
    texts << menu->text();
    for (QAction* command : menu->menu()->actions()) texts << "  " + command->text();
  }
  EXPECT_EQ(texts.join('|'),
            QStringLiteral("File|  Save Graph|  Load Graph|Options|  Shift Scale Up|  Shift Scale "
                           "Down|  Change Voltage Range|  Change Serial Port Number"));
}

TEST_F(Form1Test, AtItsLayoutSizeTheChartKeepsItsLaidOutSize) {
  EXPECT_EQ(m_window.OuterWidthTwips(), 7140.0f);
  EXPECT_EQ(m_window.OuterHeightTwips(), 9150.0f);
  const int dpi = m_window.centralWidget()->logicalDpiY();
  EXPECT_EQ(m_window.Grafik().width(), static_cast<int>(std::lround(6015.0 * dpi / 1440)));
  EXPECT_EQ(m_window.Grafik().height(), static_cast<int>(std::lround(6735.0 * dpi / 1440)));
}

TEST_F(Form1Test, TooSmallAWindowIsRaisedToTheMinimum) {
  m_window.SetOuterWidthTwips(5000.0f);
  m_window.SetOuterHeightTwips(6000.0f);
  QCoreApplication::processEvents();
  EXPECT_NEAR(m_window.OuterWidthTwips(), 7000.0f, 15.0f);
  EXPECT_NEAR(m_window.OuterHeightTwips(), 7000.0f, 15.0f);
  EXPECT_NEAR(m_window.Grafik().HeightTwips(), 7000.0f - 2415.0f, 15.0f);
}

TEST_F(Form1Test, GridAndAxesAreDrawnInTheirColours) {
  const QPoint middleLine = PixelOf(500, 500);
  EXPECT_EQ(Image().pixel(middleLine.x(), middleLine.y() + 5), kGrey);
  const QPoint leftAxis = PixelOf(0, 500);
  EXPECT_EQ(Image().pixel(leftAxis.x(), leftAxis.y() + 5), kAxisBlue);
  const QPoint bottomAxis = PixelOf(500, 0);
  EXPECT_EQ(Image().pixel(bottomAxis.x() + 5, bottomAxis.y()), kAxisBlue);
  const QPoint insideACell = PixelOf(550, 500 + 1000.0 / 28);
  EXPECT_EQ(Image().pixel(insideACell), qRgb(0, 0, 0));
}

TEST_F(Form1Test, ReadingsArePlottedOnTheRowsOfTheirVoltage) {
  // 1638 is 1.0 V (y 125); 2129 is 1.29976 V (y 874.9).
  ReceiveAndTick("1638\n2129\n");
  EXPECT_EQ(LabelText("labvalue"), QStringLiteral("1.299V [2129]"));
  EXPECT_EQ(LabelText("labtime"), QStringLiteral("0 min, 0 sec"));
  EXPECT_EQ(Image().pixel(PixelOf(5, 125.0)), kGreen);
  EXPECT_EQ(Image().pixel(PixelOf(10, 874.9)), kGreen);
}

TEST_F(Form1Test, TheTwoHundredAndFirstReadingHalvesThePlotsWidth) {
  std::string readings;
  for (int i = 0; i < 200; ++i) readings += "1800\n";
  ReceiveAndTick(readings);
  EXPECT_EQ(RightmostPointColumn(), PixelOf(1000, 0).x());
  ReceiveAndTick("1800\n");
  EXPECT_EQ(RightmostPointColumn(), PixelOf(201 * 2.5, 0).x());
}

}  // namespace
}  // namespace ampelon

namespace ampelon {
namespace {

// A message the tick opens (settings not written; at start-up, a charge not saved) holds up no
// later tick, which draws the readings and retries a lost port: Qt fires no timer again while
// its own timeout is being handled.
TEST_F(Form1Test, TheTickGoesOnWhileAMessageItOpenedIsShown) {
  m_window.findChild<QTimer*>(QStringLiteral("Timer1"))->setInterval(5);
  m_backend.FailWrites("No space left on device");
  m_settings.WriteSetting("Range", ".3");
  QString shown;
  int polls = 0;
  QEventLoop waiting;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (polls++ == 0) m_serial.Receive("2048\n");
    shown = LabelText("labvalue");
    if (shown.isEmpty() && polls < 50) return;
    box->done(QMessageBox::Ok);
    waiting.quit();
  });
  poll.start(10);
  waiting.exec();
  EXPECT_EQ(shown.toStdString(), "1.250V [2048]");
}

class Form1GeometryTest : public ::testing::Test {
 protected:
  std::unique_ptr<Form1> Open(const char* left, const char* top, const char* width,
                              const char* height) {
    m_backend.Set("Window Left", left);
    m_backend.Set("Window Top", top);
    m_backend.Set("Window Width", width);
    m_backend.Set("Window Height", height);
    auto window = std::make_unique<Form1>(m_clock, m_serial, m_settings, StartupPaths{"/"});
    window->Load();
    window->show();
    QCoreApplication::processEvents();
    return window;
  }

  testing::FakeClock m_clock{36000.0f};
  testing::FakeSerialControl m_serial;
  testing::FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
};

TEST_F(Form1GeometryTest, AWindowNoScreenShowsIsBroughtBack) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (const auto& stored :
       {std::array{"1E30", "0", "8000", "8000"}, std::array{"-90000", "-90000", "8000", "8000"},
        std::array{"0", "0", "1E30", "1E30"}}) {
    const auto window = Open(stored[0], stored[1], stored[2], stored[3]);
    EXPECT_TRUE(screen.intersects(window->frameGeometry())) << stored[0] << " " << stored[2];
    EXPECT_LE(window->width(), screen.width());
    EXPECT_LE(window->height(), screen.height());
  }
}

TEST_F(Form1GeometryTest, AWindowPartlyOffScreenStaysWhereItWas) {
  const auto window = Open("-60", "-45", "7140", "9150");
  EXPECT_EQ(window->LeftTwips(), -60.0f);
  EXPECT_EQ(window->TopTwips(), -45.0f);
}

TEST_F(Form1GeometryTest, WholeTwipsComeBackExactly) {
  const auto window = Open("4001", "3007", "9001", "8123");
  EXPECT_EQ(window->LeftTwips(), 4001.0f);
  EXPECT_EQ(window->TopTwips(), 3007.0f);
  EXPECT_EQ(window->OuterWidthTwips(), 9001.0f);
  EXPECT_EQ(window->OuterHeightTwips(), 8123.0f);
}

// Serial lines and file names reach labels, hover texts and message boxes as text, not HTML.
TEST(QtTextsTest, TextsFromOutsideAreShownAsWritten) {
  const std::string outside = "x<b>bold</b> &amp; 1<2\n\nCould not open <i>run</i>.log";
  QLabel label;
  const Twips twips(96.0);
  QtTextLabel text(label, twips);
  text.SetText(outside);
  EXPECT_EQ(label.textFormat(), Qt::PlainText);
  text.SetHoverText(outside);
  QTextDocument tooltip;  // a tooltip is HTML when it looks like it, as this text does
  tooltip.setHtml(label.toolTip());
  EXPECT_EQ(tooltip.toPlainText().toStdString(), outside);

  QtDialogs dialogs(nullptr);
  for (const bool question : {false, true}) {
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&format] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      format = box->textFormat();
      box->done(QMessageBox::No);
    });
    if (question) {
      EXPECT_FALSE(dialogs.AskYesNo(outside, "Ampelon"));
    } else {
      dialogs.MessageBox(outside, "Ampelon");
    }
    EXPECT_EQ(format, Qt::PlainText) << question;
  }
}

// The serial control is made before the window and outlives it.
TEST(Form1LifetimeTest, AWindowThatIsGoneGetsNoMoreSerialEvents) {
  testing::FakeClock clock{36000.0f};
  testing::FakeSerialControl serial;
  testing::FakeSettingsBackend backend;
  SettingsStore settings{backend};
  auto window = std::make_unique<Form1>(clock, serial, settings, StartupPaths{"/"});
  ASSERT_TRUE(serial.HasEventHandler());
  window.reset();
  EXPECT_FALSE(serial.HasEventHandler());
  serial.Receive("1638\n");  // would call into the destroyed window
}

}  // namespace
}  // namespace ampelon
