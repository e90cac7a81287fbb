#include "TestData.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutex>
#include <QtTest>

namespace {
bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(dst);
        } else {
            // Plain read and write: quicker than QFile::copy, and the copy is
            // writable whatever the source's permissions.
            QFile in(src);
            QFile out(dst);
            if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
                return false;
            if (out.write(in.readAll()) != in.size())
                return false;
        }
    }
    return true;
}

QMutex captureMutex;
QStringList captured;
} // namespace

QString TestData::sourceDir() { return qEnvironmentVariable("SKELD_SOURCE_DIR"); }
QString TestData::buildDir() { return qEnvironmentVariable("SKELD_BUILD_DIR"); }

TestData::TestData()
{
    m_oldCwd = QDir::currentPath();
    const QString src = sourceDir() + QStringLiteral("/modules");
    m_ok = m_dir.isValid() && QDir(src).exists() &&
           copyTree(src, m_dir.path() + QStringLiteral("/modules")) &&
           QDir::setCurrent(m_dir.path());
}

TestData::~TestData() { QDir::setCurrent(m_oldCwd); }

QString TestData::path(const QString &relative) const { return m_dir.filePath(relative); }

QByteArray TestData::read(const QString &relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestData::write(const QString &relative, const QByteArray &bytes) const
{
    QFile f(path(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QMap<QString, QByteArray> TestData::snapshot(const QString &relative) const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(path(relative), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly)) files.insert(QDir(path(relative)).relativeFilePath(f.fileName()), f.readAll());
    }
    return files;
}

static void captureHandler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    Q_UNUSED(ctx);
    if (type == QtDebugMsg) {
        QMutexLocker lock(&captureMutex);
        captured << msg;
    }
}

DebugCapture::DebugCapture()
{
    clear();
    m_previous = qInstallMessageHandler(captureHandler);
}

DebugCapture::~DebugCapture() { qInstallMessageHandler(m_previous); }

QStringList DebugCapture::lines() const
{
    QMutexLocker lock(&captureMutex);
    return captured;
}

void DebugCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    captured.clear();
}
