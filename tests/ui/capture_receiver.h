#pragma once

// A window whose port 1 is a pseudo-terminal standing in for the receiver, and real
// receiver captures to play to it.
#include "captures.h"
#include "pseudo_terminal.h"
#include "sample_sentences.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace fixwatch::test {

// The first `count` sentence lines of a real capture; empty when the capture is absent.
inline std::string RealCapture(const char* name, int count)
{
    return CaptureText(CapturePath(name).string(), count);
}

// A window started with `commandLine` whose port 1 is `receiver`; stopped at the end.
struct PtyWindow {
    explicit PtyWindow(const std::string& commandLine = {}) : form(commandLine) {}
    ~PtyWindow() { Stop(form); }

    // Sends `text` and ticks until it has all been read; text under 2 KiB is read in one tick.
    void Send(const std::string& text)
    {
        for (std::size_t at = 0; at < text.size(); at += 2048) {
            const std::string_view piece = std::string_view(text).substr(at, 2048);
            receiver.Write(piece);
            ASSERT_TRUE(receiver.WaitUntilQueued(static_cast<int>(piece.size())));
            TickReading(form);
        }
    }
    // Starts the window on the pseudo-terminal, then sends `text`.
    void Receive(const std::string& text)
    {
        ASSERT_TRUE(Start(form));
        Send(text);
    }

    PseudoTerminal receiver;
    PortVariable port{1, receiver.Device()};
    MainForm form;
};

} // namespace fixwatch::test
