#pragma once

#include <QString>
#include <QTest>
#include <QStringList>
#include <QTemporaryDir>
#include <QtMessageHandler>

// A private copy of the shipped modules/ folder; the test's working
// directory points at it while the object lives.
class TestData
{
public:
    TestData();
    ~TestData();

    bool isValid() const { return m_ok; }
    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const;
    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    // Every file under `relative` (hidden ones too) with its bytes.
    QMap<QString, QByteArray> snapshot(const QString &relative = QString()) const;

    static QString sourceDir();
    static QString buildDir();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    bool m_ok = false;
};

// Collects qDebug() lines while alive, so tests can assert the exact texts.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    QStringList lines() const;
    bool contains(const QString &line) const { return lines().contains(line); }
    void clear();

private:
    QtMessageHandler m_previous;
};

// Table-driven tests: one data row per entry of `rows` (tagged by its `tag`
// member), and ROW(rows) in the test picks the current entry as `r`.
template <typename Row, size_t N> void addRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].tag) << int(i);
}
#define ROW(rows)                                                                                  \
    QFETCH(int, row);                                                                              \
    const auto &r = rows[row]
