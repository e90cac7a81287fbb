#pragma once

#include "app/myQQuickView.h"
#include "settings/FileDialogs.h"

#include <QList>
#include <QStringList>

// Answers the bridge's file dialogs from a queue instead of a user; an empty
// answer (or none left) is a cancel. Records what each dialog showed.
class FakeFileDialogs final : public FileDialogs
{
public:
    struct Call
    {
        QString kind; // "open" or "save"
        QWidget *parent = nullptr;
        QString caption, dir, filter;
    };

    explicit FakeFileDialogs(QStringList answers = {}) : answers(std::move(answers)) {}

    QString openFile(QWidget *parent, const QString &caption, const QString &dir,
                     const QString &filter) override
    {
        calls << Call{QStringLiteral("open"), parent, caption, dir, filter};
        return next();
    }
    QString saveFile(QWidget *parent, const QString &caption, const QString &dir,
                     const QString &filter) override
    {
        calls << Call{QStringLiteral("save"), parent, caption, dir, filter};
        return next();
    }

    QStringList answers;
    QList<Call> calls;

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};

// The bridge with its file dialogs answered from `answers`.
struct DialogBridge {
    explicit DialogBridge(QStringList answers = {})
    {
        auto fake = std::make_unique<FakeFileDialogs>(std::move(answers));
        dialogs = fake.get();
        view.setFileDialogs(std::move(fake));
    }
    myQQuickView view;
    FakeFileDialogs *dialogs = nullptr;
};
