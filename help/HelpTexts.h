#pragma once

#include <QString>
#include <QStringList>

namespace kolbran {

// The topics of the help window's list, in order; topic number = list index + 2.
QStringList HelpTopicNames();
// The text of topic 2..7 (UTF-8 resources in help/texts); empty for other numbers.
QString HelpTopicText(int topic);
// The tree of main-window menu 0..5 (ﾌｧｲﾙ, 編集, ｵﾌﾟｼｮﾝ, 変換, 拡張機能, ﾍﾙﾌﾟ).
QString MenuExplanationText(int menu);
// The topic the help window opens on for a request index: 2..7, or −1 for the menu-bar
// explanation (any other index).
int HelpStartTopic(int requestIndex);

// The program's version as the version box shows it: "major.minor.patch".
QString ProgramVersion();

// The system-information tool to start: the program and its arguments, empty when none is
// installed. POSIX: the first of hardinfo, kinfocenter, gnome-control-center (overview).
QStringList SystemInfoCommand();

}  // namespace kolbran
