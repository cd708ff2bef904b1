// The secondary windows on the real main form: each opens inside the
// screen's available area and comes back, after a new start, at the size
// and place the user left it; a remembered place off the screen is moved
// in. The file dialogs start in the documents folder, then in the folder
// the user last chose a file in, never in the data folder.
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include "app/batch/batch_window.h"
#include "app/history/history_window.h"
#include "widgets/window_memory.h"
#include "tests/app/test_form_fixture.h"

namespace {

struct Opener {
    Qt::Key key;
    const char* window;
};
const Opener kWindows[] = {{Qt::Key_F9, "Form_Batch"}, {Qt::Key_F10, "Form_Preview"}, {Qt::Key_F8, "Form_History"}};

QWidget* open(ShownForm& s, const Opener& o) {
    s.form->SpeedButton_F[static_cast<std::size_t>(o.key - Qt::Key_F1)]->click();
    return s.form->findChild<QWidget*>(QString::fromLatin1(o.window));
}

// A new start of the program in the same folder.
void restart(ShownForm& s) {
    s.form.reset();
    s.form = std::make_unique<TForm_Main>();
    s.form->show();
    s.form->activateWindow();
    if (!QTest::qWaitForWindowActive(s.form.get())) qWarning("main window did not become active");
}

}  // namespace

class WindowMemoryTest : public QObject {
    Q_OBJECT

private slots:
    void windowsOpenOnTheScreenAndComeBackWhereLeft() {
        ShownForm s;
        const QRect area = s.form->screen()->availableGeometry();
        for (int i = 0; i < 3; ++i) {
            QWidget* w = open(s, kWindows[i]);
            QVERIFY2(w && w->isVisible(), kWindows[i].window);
            QVERIFY2(area.contains(w->frameGeometry()), kWindows[i].window);
            w->setGeometry(QRect(30 + 10 * i, 40, 620, 420));
            w->close();
        }
        restart(s);
        for (int i = 0; i < 3; ++i) QCOMPARE(open(s, kWindows[i])->geometry(), QRect(30 + 10 * i, 40, 620, 420));

        // Remembered partly off the screen, or on a screen that is no longer
        // there: moved fully onto the screen.
        for (const QPoint at : {QPoint(area.right() - 200, area.bottom() - 100), QPoint(area.right() + 500, area.bottom() + 500)}) {
            for (const Opener& o : kWindows) {
                QWidget* w = open(s, o);
                w->setGeometry(QRect(at, QSize(620, 420)));
                w->close();
            }
            restart(s);
            for (const Opener& o : kWindows) {
                const QWidget* w = open(s, o);
                QTRY_VERIFY2(area.contains(w->frameGeometry()), o.window);
            }
        }
    }

    void fitIntoAreaShrinksThenMovesIn() {
        const QRect area(0, 0, 800, 600);
        const QMargins frame(4, 30, 4, 4);  // the client area sits 30 below the frame's top
        struct Case {
            QRect wanted, placed;
        };
        const Case cases[] = {
            {{100, 100, 300, 200}, {100, 100, 300, 200}},  // inside: unchanged
            {{700, 100, 300, 200}, {496, 100, 300, 200}},  // over the right edge
            {{100, 500, 300, 200}, {100, 396, 300, 200}},  // below the screen
            {{-50, 0, 300, 200}, {4, 30, 300, 200}},       // left and above
            {{0, 0, 1100, 640}, {4, 30, 792, 566}},        // larger than the screen
        };
        for (const Case& c : cases) QCOMPARE(fitIntoArea(c.wanted, frame, area), c.placed);
    }

    void fileDialogsStartInDocumentsThenTheLastFolder() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Documents/orders")));
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(documents, home.filePath(QStringLiteral("Documents")));
        const QString orders = home.filePath(QStringLiteral("Documents/orders/today.csv"));
        QFile f(orders);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("郵便番号,住所,氏名\n1050011,東京都港区芝公園4-2-8,山田太郎\n");
        f.close();

        {
            ShownForm s;
            auto* batch = qobject_cast<TBatchWindow*>(open(s, kWindows[0]));
            QStringList starts;
            batch->askOpenPath = [&](QWidget*, const QString& folder) { return starts << folder, orders; };
            QTest::mouseClick(batch->Button_Open, Qt::LeftButton);
            QTest::mouseClick(batch->Button_Open, Qt::LeftButton);
            QCOMPARE(starts, (QStringList{documents, QFileInfo(orders).absolutePath()}));
            QCOMPARE(batch->Table_Orders->rowCount(), 1);

            // Remembered for the next start and the other windows' dialogs.
            restart(s);
            auto* history = qobject_cast<HistoryWindow*>(open(s, kWindows[2]));
            QString suggested;
            history->askCsvPath = [&](QWidget*, const QString& path) { return suggested = path, QString(); };
            QTest::mouseClick(history->BitBtn_Csv, Qt::LeftButton);
            QCOMPARE(QFileInfo(suggested).absolutePath(), QFileInfo(orders).absolutePath());
        }
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
};

QTEST_MAIN(WindowMemoryTest)
#include "window_memory_test.moc"
