#pragma once

#include <QString>

class SettingsStores;

// Whole-profile operations on the bridge's open stores: replacing a profile
// by a file (import, reset, copy) and exporting one.
class Profiles
{
public:
    explicit Profiles(SettingsStores &stores) : m_stores(stores) {}

    static bool isValid(int profile);

    // Replaces profile `profile` by the bytes of `source`; its store then
    // reads the new file. When the source cannot be read or the file cannot
    // be written, the old file and store stay as they were.
    bool replace(int profile, const QString &source);
    // Back to the profile defaults (pD.bin).
    bool reset(int profile);
    // Profile `dest` becomes a copy of profile `src`; a copy onto itself is
    // a no-op.
    bool copy(int dest, int src);
    // Writes the bytes of profile `profile` to `target`, replacing it.
    bool exportTo(int profile, const QString &target);

private:
    SettingsStores &m_stores;
};
