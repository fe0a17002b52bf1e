// What each zelkor command says of itself: one text per command, printed by
// its own --help and usage errors, listed by `zelkor --help` and made into
// docs/zelkor.md. The commands that run the show are programs of their own
// (zelkor-capture, ...) and print these same texts.
#pragma once
#include "cli/cli.h"

extern const CLI_Usage ZelkorUsage;
extern const CLI_Usage Md5Usage, CodecUsage, VkzUsage, TmgUsage, TrkUsage, RgsUsage, TexUsage;
extern const CLI_Usage RgsViewUsage, CaptureUsage, PlayUsage, DevUsage, NewUsage;

// The codecs --codec takes, null-terminated, for suggestions.
extern const char* const CodecChoices[];
