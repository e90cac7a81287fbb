#include "settings/Profiles.h"

#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "settings/FileDialogs.h"
#include "settings/FileReplace.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsStores.h"

bool Profiles::isValid(int profile)
{
    if (profile >= 0 && profile < SettingsStores::kProfileCount)
        return true;
    qCDebug(lcSettings).noquote() << QStringLiteral("config: no profile %1 - ignored").arg(profile);
    return false;
}

bool Profiles::replace(int profile, const QString &source)
{
    if (!isValid(profile))
        return false;
    const QString target = SettingsStores::profilePath(profile);
    // Pending writes go to the old file now; left pending, the old store would
    // flush them into the new file when it is dropped.
    m_stores.syncProfile(profile);
    const FileReplace::Result r = FileReplace::replace(source, target);
    if (r == FileReplace::Result::SameFile)
        return true;
    if (r != FileReplace::Result::Copied) {
        qCDebug(lcSettings).noquote()
            << QStringLiteral("config: profile %1 kept, %2: %3")
                   .arg(profile)
                   .arg(source, QString::fromLatin1(FileReplace::describe(r)));
        return false;
    }
    m_stores.reopenProfile(profile);
    return true;
}

bool Profiles::reset(int profile) { return replace(profile, SettingsStores::defaultsPath()); }

bool Profiles::copy(int dest, int src)
{
    if (!isValid(dest) || !isValid(src))
        return false;
    if (dest == src)
        return true;
    // The copy carries what the source profile holds right now.
    m_stores.syncProfile(src);
    return replace(dest, SettingsStores::profilePath(src));
}

bool Profiles::exportTo(int profile, const QString &target)
{
    if (!isValid(profile))
        return false;
    m_stores.syncProfile(profile);
    const FileReplace::Result r = FileReplace::replace(SettingsStores::profilePath(profile), target);
    if (r == FileReplace::Result::Copied || r == FileReplace::Result::SameFile)
        return true;
    qCDebug(lcSettings).noquote() << QStringLiteral("config: profile %1 not exported to %2: %3")
                                         .arg(profile)
                                         .arg(target, QString::fromLatin1(FileReplace::describe(r)));
    return false;
}

// Bridge operations ---------------------------------------------------------

void myQQuickView::setCurrentProfile(int profile)
{
    if (!m_stores->setCurrentProfile(profile))
        return;
    // Sent whatever the controller family.
    if (hid)
        hid->hid560_02H_SetCurrentProfile(uchar(profile + 1));
}

bool myQQuickView::loadProfile(int profile)
{
    if (!Profiles::isValid(profile))
        return false;
    const QString file = fileDialogs().openFile(this, tr("Open File"), FileDialogs::startFolder(),
                                                tr("Profile(*.pf)"));
    if (file.isEmpty())
        return false;
    Profiles(*m_stores).replace(profile, file);
    return true;
}

void myQQuickView::saveProfile(int profile)
{
    if (!Profiles::isValid(profile))
        return;
    const QString file = fileDialogs().saveFile(this, tr("Save File"), FileDialogs::startFolder(),
                                                tr("Profile(*.pf)"));
    if (file.isEmpty())
        return;
    Profiles(*m_stores).exportTo(profile, file);
}

void myQQuickView::resetProfile(int profile) { Profiles(*m_stores).reset(profile); }

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    Profiles(*m_stores).copy(destprofile, srcprofile);
}
