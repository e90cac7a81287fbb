#include "settings/FileDialogs.h"

#include "app/myQQuickView.h"

#include <QFileDialog>
#include <QStandardPaths>

QString FileDialogs::startFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString QtFileDialogs::openFile(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void myQQuickView::setFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

FileDialogs &myQQuickView::fileDialogs()
{
    if (!m_dialogs)
        m_dialogs = std::make_unique<QtFileDialogs>();
    return *m_dialogs;
}
