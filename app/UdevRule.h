#pragma once

#include <QString>

// The udev rule that lets the user at the seat open the mouse's hidraw
// nodes. An installed copy has no scripts folder, so the program installs
// the rule itself: `skeld-config --install-udev-rule` (asks for privileges
// through pkexec).
namespace UdevRule
{
constexpr const char *kOption = "--install-udev-rule";
constexpr const char *kFileName = "70-skeld-config.rules";

// The rule, the same text as packaging/70-skeld-config.rules.
QString text();
// Writes the rule into `rulesDir` (complete write, then one rename); false
// with a line on standard error when it cannot.
bool write(const QString &rulesDir);
// The whole option: as root write the rule to /etc/udev/rules.d and have
// udev apply it; otherwise run the same through pkexec. The exit code.
int install(const QString &executable);
} // namespace UdevRule
