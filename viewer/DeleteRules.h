#pragma once

#include "core/Settings.h"

#include <QString>

namespace kolbran {

// The rules dialog's list: an entry shows the key padded with blanks to 48 characters,
// three blanks and the count ("//" with 3: the two slashes, 46 + 3 blanks, "3").
inline constexpr int kRuleKeyBytes = 48;
QString RuleListEntry(const DeleteRule& rule);
// The key and count read back from an entry's text: the first 48 characters without
// their trailing blanks, and the number after them.
DeleteRule RuleFromListEntry(const QString& entry);
// A key as it can be stored: without trailing blanks, cut to 48 Shift_JIS bytes on a
// character boundary.
QString StorableRuleKey(const QString& key);
// A rule given as "KEY=COUNT" on a command line (the key as StorableRuleKey keeps it, a count
// from 1 to 20); false when the text is not one.
bool ParseRuleArgument(const QString& text, DeleteRule* rule);

}  // namespace kolbran
