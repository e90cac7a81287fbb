#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

// The file dialogs of profile and macro import/export. The bridge holds one
// of these so that tests can answer the dialogs instead of a user.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Both return the chosen file name, or an empty string on cancel.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter) = 0;

    // Where the dialogs start: the user's desktop folder.
    static QString startFolder();
};

// The real dialogs: the desktop's own (portal, GTK or KDE) where the
// platform theme offers them, Qt's otherwise.
class QtFileDialogs final : public FileDialogs
{
public:
    // Made without a parent: the window's transparent style sheet would
    // cascade into it and leave a black dialog with invisible labels.
    static std::unique_ptr<QFileDialog> makeDialog(const QString &caption, const QString &dir,
                                                   const QString &filter, bool save);

    QString openFile(QWidget *parent, const QString &caption, const QString &dir,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &caption, const QString &dir,
                     const QString &filter) override;
};
