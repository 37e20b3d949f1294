#include "builtinwords.h"

// The files are pulled in by the assembler. The build passes their paths and makes
// this file depend on them, so it is compiled again whenever the data changes.
#define VEXLO_EMBED(name, path)                                                                   \
    __asm__(".section .rodata.vexlo_" #name ",\"a\"\n"                                          \
            ".balign 16\n"                                                                        \
            ".global vexlo_" #name "_begin\n"                                                    \
            ".hidden vexlo_" #name "_begin\n"                                                    \
            "vexlo_" #name "_begin:\n"                                                           \
            ".incbin \"" path "\"\n"                                                             \
            ".global vexlo_" #name "_end\n"                                                      \
            ".hidden vexlo_" #name "_end\n"                                                      \
            "vexlo_" #name "_end:\n"                                                             \
            ".previous\n")

VEXLO_EMBED(dictionary, VEXLO_DICTIONARY_IMAGE);
VEXLO_EMBED(targets, VEXLO_TARGET_LIST);

extern "C" {
extern const char vexlo_dictionary_begin[];
extern const char vexlo_dictionary_end[];
extern const char vexlo_targets_begin[];
extern const char vexlo_targets_end[];
}

namespace vexlo::words {

QByteArray dictionaryImage()
{
    return QByteArray::fromRawData(vexlo_dictionary_begin, vexlo_dictionary_end - vexlo_dictionary_begin);
}

QByteArray targetListText()
{
    return QByteArray::fromRawData(vexlo_targets_begin, vexlo_targets_end - vexlo_targets_begin);
}

} // namespace vexlo::words
