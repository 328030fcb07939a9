#pragma once

class QLineEdit;

namespace kolbran {

// A file dropped on `edit` puts its path there (the name boxes of the tool dialogs).
void AcceptFileDrops(QLineEdit* edit);

}  // namespace kolbran
