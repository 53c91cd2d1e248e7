// The About box under a real X server: xprop finds its window name empty.
// Run by about_name.sh, which starts the server.

#include "ui/qt_host.h"
#include "ui/window_texts.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace palfade;

class AboutNameTest : public QObject {
    Q_OBJECT

private slots:
    void aboutBoxHasNoWindowName()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QString names;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QProcess xprop;
            xprop.start("xprop", {"-id", QString::number(box->internalWinId()), "WM_NAME", "_NET_WM_NAME"});
            QVERIFY(xprop.waitForFinished(10000));
            names = QString::fromLocal8Bit(xprop.readAllStandardOutput());
            box->accept();
        });
        QtHost host;
        host.ShowAbout(AboutText());
        // Both present and empty, where Qt would have written the program's name.
        QCOMPARE(names, QString("WM_NAME(STRING) = \n_NET_WM_NAME(UTF8_STRING) = \n"));
    }
};

QTEST_MAIN(AboutNameTest)
#include "about_name_test.moc"
