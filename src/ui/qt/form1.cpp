#include "ui/qt/form1.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include "serial/serial_control.h"
#include "ui/main_controller.h"
#include "ui/qt/chart_widget.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_file_dialog.h"
#include "ui/qt/qt_graph_file_access.h"
#include "ui/qt/qt_text_label.h"

namespace ampelon {
namespace {

// The client area the widgets below are laid out for, and the frame around it, in twips.
constexpr int kLayoutClientWidth = 7020;
constexpr int kLayoutClientHeight = 8460;
constexpr float kFrameWidth = 120.0f;   // 60 at each side
constexpr float kFrameHeight = 690.0f;  // 630 above (title and menu bar), 60 below
constexpr qreal kFontPoints = 8.0;

QColor ToQColor(Colour colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

void Style(QLabel& label, Colour background, const QColor* text, Qt::Alignment alignment,
           const char* initialText) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::Window, ToQColor(background));
  if (text != nullptr) palette.setColor(QPalette::WindowText, *text);
  label.setPalette(palette);
  label.setAutoFillBackground(true);
  label.setAlignment(alignment | Qt::AlignVCenter);
  label.setText(QString::fromLatin1(initialText));
}

char DecimalPoint() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point.at(0).unicode() < 128 ? static_cast<char>(point.at(0).unicode())
                                                          : '.';
}

}  // namespace

Form1::Form1(Clock& clock, SerialControl& serial, SettingsStore& settings,
             const StartupPaths& paths, QWidget* parent)
    : QMainWindow(parent), m_serial(serial), m_twips(96.0) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Trevanix Ampelon"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/ampelon-16.png")));

  auto* client = new QWidget(this);
  QPalette black = client->palette();
  black.setColor(QPalette::Window, Qt::black);
  client->setPalette(black);
  client->setAutoFillBackground(true);
  // The platform's font at 8 points: the size that fits the labels' height of 255 twips, so that
  // texts such as "Serial port 12 error!" fit their read-outs.
  QFont font = client->font();
  font.setPointSizeF(kFontPoints);
  client->setFont(font);
  setCentralWidget(client);
  m_twips = Twips(client->logicalDpiY());

  // The window's layout in twips, in creation order: assistive tools and tests rely on the order.
  m_timer1 = new QTimer(this);
  m_timer1->setObjectName(QStringLiteral("Timer1"));
  m_timer1->setInterval(1000);

  m_grafik = new ChartWidget(m_twips, client);
  m_grafik->setObjectName(QStringLiteral("grafik"));
  m_grafik->setGeometry(m_twips.ToPixels(900), m_twips.ToPixels(1320), m_twips.ToPixels(6015),
                        m_twips.ToPixels(6735));

  const QColor white(Qt::white);
  const QColor lightGreen = ToQColor(kLightGreen);
  m_label1 = AddLabel("Label1", 4860, 600, 1755, 255);
  Style(*m_label1, kLightGreen, nullptr, Qt::AlignHCenter, "");
  m_labtime = AddLabel("labtime", 1920, 600, 1455, 255);
  Style(*m_labtime, kDarkBlue, &white, Qt::AlignHCenter, "");
  m_labvalue = AddLabel("labvalue", 360, 600, 1455, 255);
  Style(*m_labvalue, kDarkBlue, &white, Qt::AlignHCenter, "");
  for (int index = 6; index >= 0; --index) {
    const QByteArray name = "lab" + QByteArray::number(index + 1);
    QLabel* label = AddLabel(name.constData(), 300, 1260 + (6 - index) * 240, 495, 255);
    Style(*label, kBlack, &lightGreen, Qt::AlignHCenter, "xxxxxx");
    m_axisLabels[static_cast<std::size_t>(index)] = label;
  }
  const struct {
    const char* name;
    int left;
    int width;
    const char* text;
  } captions[] = {{"Label3", 360, 1095, "Current value:"},
                  {"Label4", 1920, 975, "Charge time:"},
                  {"Label2", 4860, 975, "Port Status:"}};
  for (const auto& caption : captions) {
    QLabel* label = AddLabel(caption.name, caption.left, 360, caption.width, 255);
    Style(*label, kBlack, &white, Qt::AlignLeft, caption.text);
    // The platform's font may be wider than the captions' widths allow for: a caption grows to
    // the right (into empty space) rather than lose its last letters.
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
  }

  BuildMenus();

  ChartLabels labels;
  for (std::size_t index = 0; index < m_axisLabels.size(); ++index) {
    m_axisLabelViews[index] = std::make_unique<QtTextLabel>(*m_axisLabels[index], m_twips);
    labels.axis[index] = m_axisLabelViews[index].get();
  }
  m_labvalueView = std::make_unique<QtTextLabel>(*m_labvalue, m_twips);
  m_labtimeView = std::make_unique<QtTextLabel>(*m_labtime, m_twips);
  labels.currentValue = m_labvalueView.get();
  labels.chargeTime = m_labtimeView.get();
  m_label1View = std::make_unique<QtTextLabel>(*m_label1, m_twips);
  m_dialogs = std::make_unique<QtDialogs>(this);
  m_fileDialog = std::make_unique<QtFileDialog>(this);
  m_files = std::make_unique<QtGraphFileAccess>();
  m_controller = std::make_unique<MainController>(
      clock, serial, settings,
      MainController::Views{*m_grafik, *this, labels, *m_label1View, *m_dialogs, *m_fileDialog,
                            *m_files, DecimalPoint()},
      paths);

  ResizeClient(m_twips.ToPixels(kLayoutClientWidth), m_twips.ToPixels(kLayoutClientHeight));

  serial.SetEventHandler([this](const SerialEvent& event) { m_controller->OnSerialEvent(event); });
  // Queued: a message box that a tick opens must not hold up the ticks after it (the chart, a
  // lost port's retry, the watch), and Qt fires no timer while its own timeout is handled.
  connect(
      m_timer1, &QTimer::timeout, this, [this] { m_controller->OnTick(); }, Qt::QueuedConnection);
  m_timer1->start();
}

// The serial control outlives the window: bytes that arrive later must not reach it.
Form1::~Form1() { m_serial.SetEventHandler({}); }

QLabel* Form1::AddLabel(const char* name, int left, int top, int width, int height) {
  auto* label = new QLabel(centralWidget());
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(m_twips.ToPixels(left), m_twips.ToPixels(top), m_twips.ToPixels(width),
                     m_twips.ToPixels(height));
  return label;
}

void Form1::BuildMenus() {
  const struct {
    const char* title;
    const char* name;
    std::vector<std::tuple<const char*, const char*, void (MainController::*)()>> commands;
  } menus[] = {
      {"File",
       "menu1",
       {{"Save Graph", "menusave", &MainController::OnSaveGraph},
        {"Load Graph", "menuload", &MainController::OnLoadGraph}}},
      {"Options",
       "menu2",
       {{"Shift Scale Up", "menuscaleup", &MainController::OnShiftScaleUp},
        {"Shift Scale Down", "menuscaledown", &MainController::OnShiftScaleDown},
        {"Change Voltage Range", "menurange", &MainController::OnChangeVoltageRange},
        {"Change Serial Port Number", "menuport", &MainController::OnChangeSerialPortNumber}}},
  };
  for (const auto& menu : menus) {
    QMenu* qmenu = menuBar()->addMenu(QString::fromLatin1(menu.title));
    qmenu->setObjectName(QString::fromLatin1(menu.name));
    for (const auto& [text, name, handler] : menu.commands) {
      QAction* action = qmenu->addAction(QString::fromLatin1(text));
      action->setObjectName(QString::fromLatin1(name));
      connect(action, &QAction::triggered, this,
              [this, handler = handler] { (m_controller.get()->*handler)(); });
    }
  }
}

void Form1::Load() { m_controller->OnLoad(); }

int Form1::MenuBarHeight() const {
  if (menuBar()->isNativeMenuBar()) return 0;
  return menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
}

void Form1::ResizeClient(int clientWidth, int clientHeight) {
  resize(std::max(1, clientWidth), std::max(1, clientHeight + MenuBarHeight()));
}

bool Form1::IsMinimized() const { return isMinimized(); }

float Form1::Reported(const SetTwips& set, int pixels) const {
  return set.pixels == pixels ? set.twips : m_twips.FromPixels(pixels);
}

int Form1::ClientHeight() const { return height() - MenuBarHeight(); }

float Form1::LeftTwips() const { return Reported(m_setLeft, pos().x()); }

float Form1::TopTwips() const { return Reported(m_setTop, pos().y()); }

float Form1::OuterWidthTwips() const {
  return static_cast<float>(static_cast<double>(Reported(m_setWidth, width())) + kFrameWidth);
}

float Form1::OuterHeightTwips() const {
  return static_cast<float>(static_cast<double>(Reported(m_setHeight, ClientHeight())) +
                            kFrameHeight);
}

void Form1::SetLeftTwips(float twips) {
  m_setLeft = {twips, m_twips.ToPixels(twips)};
  move(m_setLeft.pixels, pos().y());
}

void Form1::SetTopTwips(float twips) {
  m_setTop = {twips, m_twips.ToPixels(twips)};
  move(pos().x(), m_setTop.pixels);
}

void Form1::SetOuterWidthTwips(float twips) {
  const auto client = static_cast<float>(static_cast<double>(twips) - kFrameWidth);
  m_setWidth = {client, std::max(1, m_twips.ToPixels(client))};
  ResizeClient(m_setWidth.pixels, ClientHeight());
}

void Form1::SetOuterHeightTwips(float twips) {
  const auto client = static_cast<float>(static_cast<double>(twips) - kFrameHeight);
  m_setHeight = {client, std::max(1, m_twips.ToPixels(client))};
  ResizeClient(width(), m_setHeight.pixels);
}

void Form1::KeepOnScreen() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return;
  // The screen that shows most of the window, or the nearest one when none shows any of it.
  const QRect frame = frameGeometry();
  QScreen* target = nullptr;
  qint64 bestOverlap = 0;
  qint64 nearestDistance = std::numeric_limits<qint64>::max();
  for (QScreen* screen : screens) {
    const QRect overlap = screen->availableGeometry().intersected(frame);
    const qint64 area = qint64{overlap.width()} * overlap.height();
    if (area > bestOverlap) {
      bestOverlap = area;
      target = screen;
    }
  }
  for (QScreen* screen : screens) {
    if (bestOverlap > 0) break;
    const QPoint offset = screen->availableGeometry().center() - frame.center();
    const qint64 distance = qint64{offset.x()} * offset.x() + qint64{offset.y()} * offset.y();
    if (distance < nearestDistance) {
      nearestDistance = distance;
      target = screen;
    }
  }
  const QRect area = target->availableGeometry();
  // A window larger than the screen cannot be shown whole: make it the screen's size.
  // The frame's own size is only known once the platform has placed the window; a second pass
  // corrects for it.
  for (int pass = 0; pass < 2; ++pass) {
    const QRect current = frameGeometry();
    if (current.width() <= area.width() && current.height() <= area.height()) break;
    resize(std::min(width(), width() - (current.width() - area.width())),
           std::min(height(), height() - (current.height() - area.height())));
  }
  // A window partly on the screen stays where the user had it; one entirely off comes back.
  if (!area.intersects(frameGeometry())) move(area.topLeft());
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  m_controller->OnResize();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!m_unloaded) {
    m_unloaded = true;
    if (m_onClosing) m_onClosing();
    m_controller->OnUnload();
  }
  QMainWindow::closeEvent(event);
}

}  // namespace ampelon
