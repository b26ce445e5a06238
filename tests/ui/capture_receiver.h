#pragma once

// Playing real receiver captures to the window through a pseudo-terminal.
#include "captures.h"
#include "pseudo_terminal.h"
#include "sample_sentences.h"
#include "main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace fixwatch::test {

// The first `count` sentence lines of a real capture; empty when the capture is absent.
inline std::string RealCapture(const char* name, int count)
{
    return CaptureText(CapturePath(name).string(), count);
}

// Starts `form` on a pseudo-terminal, sends `text` and ticks until it has all been read.
inline void Receive(MainForm& form, PseudoTerminal& receiver, const std::string& text)
{
    form.Cmd_StartStop_Click(0);
    ASSERT_TRUE(form.AcquisitionRunning());
    for (std::size_t at = 0; at < text.size(); at += 2048) {
        const std::string_view piece = std::string_view(text).substr(at, 2048);
        receiver.Write(piece);
        ASSERT_TRUE(receiver.WaitUntilQueued(static_cast<int>(piece.size())));
        form.Timer_Lett_Timer();
    }
}

} // namespace fixwatch::test
