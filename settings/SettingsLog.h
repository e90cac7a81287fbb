#pragma once

#include <QLoggingCategory>

// Lines about our own data files: who is at fault ("config:") and what was
// kept instead.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
