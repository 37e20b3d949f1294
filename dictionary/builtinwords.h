#pragma once
// The word data carried inside the program: the dictionary's record image (built
// from resources/words/dictionary.txt by tools/makedictionary) and the target word
// list (resources/words/targets.txt as it stands). Both refer to read-only data in
// the program itself; nothing is copied.
#include <QByteArray>

namespace vexlo::words {

QByteArray dictionaryImage();
QByteArray targetListText();

} // namespace vexlo::words
