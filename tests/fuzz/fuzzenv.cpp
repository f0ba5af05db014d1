#include "fuzzenv.h"

#include "profile/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

namespace fuzzenv {

namespace {
QTemporaryDir *g_root = nullptr;
QString g_current;
int g_counter = 0;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

void init()
{
    if (g_root)
        return;
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    if (qEnvironmentVariableIsEmpty("MOUSECFG_FUZZ_VERBOSE"))
        qInstallMessageHandler(&quiet);
    g_root = new QTemporaryDir;
}

QString freshDir()
{
    init();
    if (!g_current.isEmpty())
        QDir(g_current).removeRecursively();
    g_current = g_root->path() + QStringLiteral("/%1").arg(++g_counter);
    QDir().mkpath(g_current + QStringLiteral("/Configs"));
    setApplicationDir(g_current);
    setConfigsBase(g_current + QStringLiteral("/Configs"));
    return g_current;
}

void writeFile(const QString &path, const uint8_t *data, size_t size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
}

} // namespace fuzzenv
