// The desktop's services: opening a file with its application (xdg-open) and composing an
// e-mail with an attachment (xdg-email). Programs are looked up on $PATH.
//
// Safe from any thread; nothing here keeps state.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// Full path of an executable file called name in the folders of $PATH; empty when none.
std::string FindProgram(const std::string& name);

// Starts argv[0] (looked up on $PATH) with the given arguments in its own session and does
// not wait for it. False when it could not be started.
bool LaunchDetached(const std::vector<std::string>& argv);

// Runs argv[0] (looked up on $PATH) and waits for it; its exit status, or -1 when it could not
// be started or did not exit normally.
int RunAndWait(const std::vector<std::string>& argv);

// Opens a file or web address with the desktop's application for it (xdg-open, not waited
// for). False when xdg-open could not be started.
bool OpenWithDesktop(const std::string& target);

// The mail system counts as available when xdg-email is on $PATH.
bool IsMailAvailable();

// Hands a message with one attachment to the desktop's mail composer:
// xdg-email --subject subject --attach file. True when xdg-email reported success.
bool ComposeMail(const std::string& subject, const std::string& attachment);

}  // namespace orvane
