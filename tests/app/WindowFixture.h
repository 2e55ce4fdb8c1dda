// Shared set-up of the window tests: a main window on a test sound device that
// plays infinitely fast, with the error box replaced by a list of messages.
#pragma once

#include "app/ErrorBox.h"
#include "app/Pravik.h"
#include "audio/EngineSetup.h"
#include "tests/support/TestWaveOut.h"
#include "tests/support/ToneRuns.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ErrorBox::SetHandler([this](const QString& text) { Errors.push_back(text); });
    }
    void TearDown() override
    {
        Form.reset();
        ErrorBox::SetHandler({});
    }

    TForm1& MakeForm(kalvo::TestWaveOut::Completion completion = kalvo::TestWaveOut::Completion::Immediate)
    {
        auto device = std::make_unique<kalvo::TestWaveOut>(completion);
        Device = device.get();
        Form = std::make_unique<TForm1>(std::move(device));
        return *Form;
    }

    // Shows the window and gives it the keyboard focus, so that keys typed at
    // the window reach the focused control as a person's keys would.
    void ShowForm()
    {
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->activateWindow();
        QApplication::setActiveWindow(Form.get());
    }

    // Every sample handed to the device so far, once the last committed buffer
    // has reached it.
    std::vector<std::int16_t> Samples(std::size_t buffers)
    {
        EXPECT_TRUE(Device->WaitForWritten(buffers));
        return Device->Samples();
    }

    static int Count(double seconds) { return int(std::lround(kalvo::EngineSetup::SampRate * seconds)); }

    kalvo::TestWaveOut* Device = nullptr;
    std::unique_ptr<TForm1> Form;
    std::vector<QString> Errors;
};

// Types a text at the window, one key at a time, as a person's keys arrive.
inline void TypeAtWindow(QWindow* window, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

// Runs of sound in the exact samples: zeros inside a tone (the waveform
// crossing zero) up to `bridge` samples long do not split it.
inline std::vector<kalvo::testing::Run> ToneRuns(const std::vector<std::int16_t>& samples, std::size_t bridge = 16)
{
    return kalvo::testing::ToneRuns(samples, bridge);
}
