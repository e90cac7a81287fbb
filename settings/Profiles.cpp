#include "settings/Profiles.h"

#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "settings/FileDialogs.h"
#include "settings/FileReplace.h"
#include "settings/SafeWrite.h"
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
    const FileReplace::Result r = FileReplace::replace(source, target);
    if (r == FileReplace::Result::SameFile)
        return true;
    if (r != FileReplace::Result::Copied) {
        const QString why = QStringLiteral("profile %1 kept, %2: %3")
                                .arg(profile)
                                .arg(source, QString::fromLatin1(FileReplace::describe(r)));
        // A failed write has told its reason already.
        if (r == FileReplace::Result::WriteFailed)
            qCDebug(lcSettings).noquote() << QStringLiteral("config: ") + why;
        else
            SafeWrite::fail(why);
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
    return replace(dest, SettingsStores::profilePath(src));
}

bool Profiles::exportTo(int profile, const QString &target)
{
    if (!isValid(profile))
        return false;
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
    emit profileOnDeviceChanged();
    // Sent whatever the controller family, except to a "560" device that has
    // no slot for the profile.
    if (hid && (icType != QLatin1String("560") || profileOnDevice()))
        hid->hid560_02H_SetCurrentProfile(uchar(profile + 1));
    else if (hid)
        qCDebug(lcSettings).nospace() << "device: profile " << profile + 1
                                      << " has no slot on the device; kept on the computer only";
}

bool myQQuickView::loadProfile(int profile)
{
    if (!Profiles::isValid(profile))
        return false;
    const QString file = fileDialogs().openFile(dialogParent(), tr("Open File"), FileDialogs::startFolder(),
                                                tr("Profile(*.pf)"));
    if (file.isEmpty())
        return false;
    // False also when the profile could not be replaced: the page must not
    // show the file's values as loaded.
    return Profiles(*m_stores).replace(profile, file);
}

void myQQuickView::saveProfile(int profile)
{
    if (!Profiles::isValid(profile))
        return;
    const QString file = fileDialogs().saveFile(dialogParent(), tr("Save File"), FileDialogs::startFolder(),
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
