// What only the real widgets show: control ids mapped to widgets and actions, typed keys and
// mnemonics, sizes, the font, and a run whose break and register dialog stay usable. The
// procedures behind them are checked on fake views in tests/app, testlog and cardreader.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QtTest>
#include <fstream>

#include "cardreader/control_ids.h"
#include "cmd/progress_dialog.h"
#include "gate_clock.h"
#include "gui_session.h"
#include "testlog/control_ids.h"

namespace kvt::test {

namespace id = app::id;
namespace card = cardreader::id;

namespace {

void click(gui::DialogWindow& window, int control) {
  QWidget* widget = GuiSession::control(window, control);
  // A check box answers on its box and text only, which a wide one may not centre on.
  const QPoint where = qobject_cast<QCheckBox*>(widget) != nullptr ? QPoint(6, widget->height() / 2)
                                                                   : widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, where);
}

void alt(gui::DialogWindow& main, Qt::Key key) {
  QWidget* target = QApplication::activePopupWidget();
  if (target == nullptr) target = main.focusWidget();
  QTest::keyClick(target != nullptr ? target : &main, key, Qt::AltModifier);
}

void typeInto(gui::DialogWindow& window, int control, const QString& text) {
  auto* edit = GuiSession::control<QLineEdit>(window, control);
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// How many pixels of `glyph` come out dark.
int Ink(const QFont& font, QChar glyph) {
  QImage image(48, 48, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, QString(glyph));
  int ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  return ink;
}

}  // namespace

class KvtWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void typedLineRunsOnTheChipAndComesBackWithUp();
  void openAndCloseSwitchEveryControlAndMenuItem();
  void sizeAndFontOfTheLogPane();
  void mnemonicsReachEveryControlAndSharedLettersTakeTurns();
  void registerDialogOpensOnceAndReportsToTheLog();
  void breakEndsARunAfterTheLineInProgress();
  void cardReaderActivatesReadsAndWritesTheCard();
  void testLogOptionsAreSavedToTheStartFile();
};

void KvtWindowTest::typedLineRunsOnTheChipAndComesBackWithUp() {
  GuiSession session;
  const int result = session.run([](gui::DialogWindow& main) {
    QTest::mouseClick(GuiSession::control(main, id::OpenButton), Qt::LeftButton);
    auto* line = GuiSession::control<QLineEdit>(main, id::CommandLine);
    QTest::keyClicks(line, "sr 19 5a");
    QCOMPARE(line->text(), QStringLiteral("SR 19 5A"));  // typed letters become capitals
    QTest::keyClick(line, Qt::Key_Return);
    QVERIFY(
        GuiSession::pane(main).contains("SR  19  5A                     // (STKSTATUS 0000)\n"));
    QCOMPARE(line->text(), QString());
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("SR 19 5A"));
    // Escape empties the line, keeps the window, and does not swallow the next close.
    QTest::keyClick(line, Qt::Key_Escape);
    QCOMPARE(line->text(), QString());
    QVERIFY(main.isVisible());
    QVERIFY(main.close());
  });
  QCOMPARE(result, 0);
}

void KvtWindowTest::openAndCloseSwitchEveryControlAndMenuItem() {
  GuiSession session;
  session.run([](gui::DialogWindow& main) {
    // clang-format off
    const int openItems[] = {id::MenuClose, id::MenuAccessRegister, id::MenuProcessCommandFile,
        id::MenuHost9600, id::MenuHost115200, id::CloseButton, id::AllTo115k, id::SelectScf,
        id::ProcessScf, id::RegisterIo, id::PiButton, id::DumpRegister, id::KorvexReader,
        id::Process, id::OverrideName, id::CommandLine};
    // clang-format on
    const int closedItems[] = {id::MenuOpen, id::MenuSettings, id::OpenButton};
    auto enabled = [&main](int control) {
      if (QAction* action = main.view().action(control)) return action->isEnabled();
      return main.view().widget(control)->isEnabled();
    };
    auto expectState = [&](bool open) {
      for (int control : openItems)
        QVERIFY2(enabled(control) == open, qPrintable(QString::number(control)));
      for (int control : closedItems)
        QVERIFY2(enabled(control) != open, qPrintable(QString::number(control)));
      QCOMPARE(GuiSession::control<QLabel>(main, id::OpenClosed)->text(),
               QString(open ? "O" : "C"));
    };
    expectState(false);
    QVERIFY(!main.view().widget(id::PiButton)->isVisibleTo(&main));  // no -pi
    QVERIFY(main.view().action(id::MenuSelectCommandFile)->isEnabled());
    QTest::mouseClick(GuiSession::control(main, id::OpenButton), Qt::LeftButton);
    expectState(true);
    main.view().action(id::MenuClose)->trigger();
    expectState(false);
  });
}

// The window keeps its width and minimum height and gives extra height to the log pane,
// whose font is fixed-pitch and draws real glyphs (without fonts every one is the same box).
void KvtWindowTest::sizeAndFontOfTheLogPane() {
  GuiSession session;
  session.run([&session](gui::DialogWindow& main) {
    const QSize initial = main.size();
    QCOMPARE(session.program().state().initialWidth, initial.width());
    auto* log = GuiSession::control(main, id::LogPane);
    const int logHeight = log->height();
    main.resize(initial.width() + 120, initial.height());
    QCOMPARE(main.width(), initial.width());
    main.resize(initial.width(), initial.height() + 150);
    QTRY_COMPARE(log->height(), logHeight + 150);
    main.resize(initial.width(), initial.height() - 100);
    QCOMPARE(main.height(), initial.height());

    const QFont font = log->font();
    QVERIFY(QFontInfo(font).fixedPitch());
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance(QChar('i')), metrics.horizontalAdvance(QChar('W')));
    QVERIFY(Ink(font, '0') > 0 && Ink(font, '.') < Ink(font, 'W'));
    QVERIFY(!GuiSession::pane(main).contains("ERROR: Cannot create monospace font!"));
  });
}

void KvtWindowTest::mnemonicsReachEveryControlAndSharedLettersTakeTurns() {
  GuiSession session;
  const int result = session.run([](gui::DialogWindow& main) {
    alt(main, Qt::Key_O);
    QCOMPARE(GuiSession::control<QLabel>(main, id::OpenClosed)->text(), QString("O"));
    alt(main, Qt::Key_D);
    QVERIFY(GuiSession::pane(main).contains("Registersetting : "));
    // "&Log" and "Command &Line": the menu opens first, the next Alt+L moves on.
    alt(main, Qt::Key_L);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr && menu->title() == "&Log");
    alt(main, Qt::Key_L);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::CommandLine));
    // "&Select SCF" and "Process &SCF": each press focuses the next, none is pressed.
    alt(main, Qt::Key_S);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::SelectScf));
    alt(main, Qt::Key_S);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::ProcessScf));
    QCOMPARE(GuiSession::control<QLineEdit>(main, id::OperationStatus)->text(), "NULL");
    // Alt+F, then X: File > Exit.
    alt(main, Qt::Key_F);
    QVERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
    QTRY_VERIFY(main.isClosed());
  });
  QCOMPARE(result, 0);
}

void KvtWindowTest::registerDialogOpensOnceAndReportsToTheLog() {
  GuiSession session;
  session.run([&session](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::RegisterIo);
    click(main, id::RegisterIo);  // the one dialog exists: nothing more opens
    auto visibleRegisterDialogs = [] {
      int count = 0;
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<gui::DialogWindow*>(window);
        count +=
            dialog != nullptr && dialog->dialogId() == id::RegisterDialog && dialog->isVisible();
      }
      return count;
    };
    QCOMPARE(visibleRegisterDialogs(), 1);
    gui::DialogWindow* registers =
        session.shell().windowOf(session.program().state().registerDialog);
    QVERIFY(registers != nullptr);
    typeInto(*registers, id::RegAddress, "19");
    typeInto(*registers, id::RegValue, "5a");
    QCOMPARE(GuiSession::control<QLineEdit>(*registers, id::RegBinary)->text(), "01011010");
    click(*registers, id::RegLogEnable);
    click(*registers, id::RegSet);
    click(*registers, id::RegGet);
    const QString log = GuiSession::pane(main);
    QVERIFY(log.contains("SR: 19 5A                      // (STKSTATUS 0000)\n"));
    QVERIFY(log.contains("GR: 19          // data == 5A  // (STKSTATUS 0000)\n"));
    click(*registers, id::RegQuit);
    QTRY_COMPARE(visibleRegisterDialogs(), 0);
  });
}

void KvtWindowTest::breakEndsARunAfterTheLineInProgress() {
  GateClock clock;
  cmd::CommandEnvironment environment;
  environment.clock = &clock;
  GuiSession session(environment);
  const std::string script = session.folder() + "/slow.scf";
  std::ofstream(script) << "SR 01 3F\nSLP 1000\nSR 19 5A\n";
  session.shell().setFileAnswer(
      [script](bool, const platform::FileChooser&) { return std::optional<std::string>(script); });
  session.onDialog(cmd::id::ProgressDialog, [&](gui::DialogWindow& progress) {
    auto release = qScopeGuard([&clock] { clock.open(); });  // also when a check fails
    QTRY_VERIFY(clock.sleeping());                           // the runner sits in SLP
    // The register dialog stays usable during the run.
    gui::DialogWindow* registers =
        session.shell().windowOf(session.program().state().registerDialog);
    QVERIFY(registers != nullptr);
    // Through the window system, where a window blocked by a modal one gets no clicks.
    QWidget* get = GuiSession::control(*registers, id::RegGet);
    QTest::mouseClick(registers->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      get->mapTo(registers, get->rect().center()));
    const QString result = GuiSession::control<QLineEdit>(*registers, id::RegResult)->text();
    QVERIFY2(result.startsWith("GR: 00 ") && result.endsWith("(STKSTATUS 0000)"),
             qPrintable(result));
    click(progress, cmd::id::BreakButton);
    QVERIFY(!progress.view().widget(cmd::id::BreakButton)->isEnabled());
  });
  session.run([&](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::RegisterIo);
    click(main, id::ProcessScf);  // returns when "Processing..." has closed
    QTRY_VERIFY(GuiSession::pane(main).contains("User Break recognised."));
    const QString log = GuiSession::pane(main);
    QVERIFY(log.startsWith(QString::fromStdString("Processing " + script + "\nSR  01  3F")));
    QVERIFY(!log.contains("SR  19"));
    QVERIFY(main.isEnabled());
  });
}

void KvtWindowTest::cardReaderActivatesReadsAndWritesTheCard() {
  GuiSession session;
  session.onDialog(card::CardReaderDialog, [](gui::DialogWindow& reader) {
    click(reader, card::RequestAndSelect);
    auto* block = GuiSession::control<QComboBox>(reader, card::Block);
    for (int i = 0; i < 4; ++i) QTest::keyClick(block, Qt::Key_Down);
    QCOMPARE(block->currentIndex(), 4);
    click(reader, card::AuthenticateA);
    typeInto(reader, card::Hex, "00112233445566778899AABBCCDDEEFF");
    click(reader, card::Write);
    typeInto(reader, card::Hex, "0");
    click(reader, card::Read);
    QCOMPARE(GuiSession::control<QLineEdit>(reader, card::Hex)->text(),
             "00112233445566778899AABBCCDDEEFF");
    const QString log = GuiSession::pane(reader, card::LogPane);
    QVERIFY(log.contains("Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000"));
    QVERIFY(log.contains("Read(0x04, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000"));
    click(reader, card::Exit);
  });
  session.run([](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::KorvexReader);  // returns when the dialog has closed
  });
}

void KvtWindowTest::testLogOptionsAreSavedToTheStartFile() {
  GuiSession session;
  const std::string output = session.folder() + "/bench.atp";
  session.shell().setFileAnswer(
      [output](bool, const platform::FileChooser&) { return std::optional<std::string>(output); });
  session.onDialog(testlog::id::TestLogDialog, [](gui::DialogWindow& options) {
    click(options, testlog::id::Activate);
    click(options, testlog::id::SelectOutputFile);
    QCOMPARE(GuiSession::control<QLineEdit>(options, testlog::id::OutputFileName)->text(),
             "bench.atp");
    click(options, testlog::id::Ok);
  });
  session.run([](gui::DialogWindow& main) { main.view().action(id::MenuTestLog)->trigger(); });
  QFile startFile(QString::fromStdString(session.startFile()));
  QVERIFY(startFile.open(QIODevice::ReadOnly));
  QVERIFY(startFile.readAll().contains(QByteArray::fromStdString("OutputFile=" + output)));
  QVERIFY(QFile::exists(QString::fromStdString(output)));
}

}  // namespace kvt::test

QTEST_MAIN(kvt::test::KvtWindowTest)
#include "kvt_window_test.moc"
