// The desktop's services for a program: opening a document or link with its handler, and the
// warning beep.
#pragma once

#include <functional>
#include <string>

// Opens Target (a link, a mail address or a file) with the desktop's handler, as the verb "open"
// does; false when nothing could open it. Goes through the hook when one is installed.
bool ShellOpen(const std::string& Target);
// Starts a new mail in the desktop's mail program with the subject and the file attached and
// no recipient, through xdg-email, which speaks each mail program's own dialect; without it, a
// "mailto:" link with the subject and "attach" is opened. False when nothing could be started.
// With the hook installed, the hook gets that link.
bool ShellMail(const std::string& Subject, const std::string& Attachment);
// Replaces the desktop's handler (tests record the targets instead of launching anything);
// an empty hook restores it.
using TShellOpenHook = std::function<bool(const std::string& Target)>;
void SetShellOpenHook(TShellOpenHook Hook);
// True when the desktop has a handler for Target: xdg-email (or xdg-open) for a "mailto:" link,
// xdg-open for anything else. The check hook answers instead when installed (true with only the
// open hook installed).
bool ShellCanOpen(const std::string& Target);
void SetShellCanOpenHook(TShellOpenHook Hook);

// Text as it goes into a link or a desktop entry: letters, digits and / . - _ ~ as they are, every
// other byte as %XX.
std::string PercentEncode(const std::string& Text);

// The warning beep; counted, so that tests can see that one sounded.
void MessageBeep();
int BeepCount();
