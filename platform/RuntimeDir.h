#pragma once

#include <QString>

// The folder for this user's lock file and sockets: one no other local user
// can create, replace or write into. XDG_RUNTIME_DIR when it is a real
// directory owned by us with mode 0700; otherwise a folder of ours under the
// temporary directory, created 0700 and checked the same way. Names another
// user already took there are passed over in a fixed order, so every start
// of ours settles on the same folder.
namespace RuntimeDir
{
// Empty only when no private folder could be found or made.
QString path();
// True when `dir` is a directory (not a link) owned by the calling user
// with no access for group or others.
bool isPrivate(const QString &dir);
} // namespace RuntimeDir
