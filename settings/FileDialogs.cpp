#include "settings/FileDialogs.h"

#include "app/myQQuickView.h"

#include <QFileDialog>
#include <QStandardPaths>

QString FileDialogs::startFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

std::unique_ptr<QFileDialog> QtFileDialogs::makeDialog(const QString &caption, const QString &dir,
                                                       const QString &filter, bool save)
{
    auto dialog = std::make_unique<QFileDialog>(nullptr, caption, dir, filter);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    return dialog;
}

namespace {
QString runDialog(QWidget *parent, std::unique_ptr<QFileDialog> dialog)
{
    // Centred over the program's window, though not its child.
    if (parent && parent->window()->isVisible())
        dialog->move(parent->window()->geometry().center() - dialog->rect().center());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}
} // namespace

QString QtFileDialogs::openFile(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return runDialog(parent, makeDialog(caption, dir, filter, false));
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return runDialog(parent, makeDialog(caption, dir, filter, true));
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
