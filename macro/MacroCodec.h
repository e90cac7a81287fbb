#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantList>

// The macro encoder and size counter for the UI documents (singleton
// "MacroCodec" of module "skeld.macro"), so the editor and the button page
// use the same encoding as the command-line tool.
class MacroCodec : public QObject
{
    Q_OBJECT
    // The names of the key-name table in effect, position for position;
    // empty means the built-in names.
    Q_PROPERTY(QStringList keyNames READ keyNames WRITE setKeyNames NOTIFY keyNamesChanged)
public:
    explicit MacroCodec(QObject *parent = nullptr);

    QStringList keyNames() const { return m_keyNames; }
    void setKeyNames(const QStringList &names);

    // Device bytes of macro entries ("<type>,<info>") with a repeat count.
    Q_INVOKABLE QVariantList deCode(const QStringList &entries, int repeat) const;
    // Encoded size in bytes; the editor stops adding events at 126.
    Q_INVOKABLE int recordCount(const QStringList &entries) const;
    // Device bytes of what loadMacroIni returned: the entries, then the
    // repeat count as the last element.
    Q_INVOKABLE QVariantList encodeStored(const QStringList &loaded) const;
    Q_INVOKABLE int codeForName(const QString &name) const;
    Q_INVOKABLE QString nameForCode(int code) const;

    static void registerQmlType();

signals:
    void keyNamesChanged();

private:
    QStringList m_keyNames;
};
