// "Save Text as Audio File...": the file is written off the window's thread,
// a cancel or a failure leaves no file, failures reach the error box, and the
// live sound output hears nothing of it.
#include "WindowFixture.h"

#include "app/ExportDialog.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WavFile.h"

#include <QProgressDialog>
#include <QSignalSpy>

#include <filesystem>
#include <string>

using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;

class ExportWindowTest : public WindowTest {
protected:
    void TearDown() override
    {
        ExportDialog::SetChooser({});
        WindowTest::TearDown();
    }

    // Chooses `path` in the dialog, gives the command and returns the export
    // it started (nothing when it started none).
    AudioExport* Export(TForm1& form, const QString& path)
    {
        ExportDialog::SetChooser([path](QWidget*) { return ExportChoice{path, 5.0, 10.0, false, std::nullopt}; });
        form.SaveAudio1->trigger();
        return form.findChild<AudioExport*>();
    }

    static std::size_t FilesIn(const std::filesystem::path& folder)
    {
        return std::size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
    }

    TempFolder Folder;
};

TEST_F(ExportWindowTest, WritesTheFileAndLeavesTheSoundOutputAlone)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("PARIS");
    AudioExport* run = Export(form, QStringLiteral("paris.flac"));
    ASSERT_NE(run, nullptr);
    QSignalSpy finished(run, &AudioExport::Finished);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(ReadBytes("paris.flac").substr(0, 4), "fLaC");
    EXPECT_EQ(FilesIn(Folder.Path()), 1u);
    EXPECT_TRUE(Device->Samples().empty());
}

TEST_F(ExportWindowTest, CancelLeavesNoFile)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text(std::string(100000, 'H')); // minutes of sound
    AudioExport* run = Export(form, QStringLiteral("long.mp3"));
    ASSERT_NE(run, nullptr);
    QSignalSpy finished(run, &AudioExport::Finished);
    run->Progress()->cancel();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(FilesIn(Folder.Path()), 0u);
}

TEST_F(ExportWindowTest, FailuresAreShownAndLeaveNoFile)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    struct Case {
        QString Path;
        QString Error;
    };
    const Case cases[] = {
        {"notes.txt",
         "Cannot tell the sound format of notes.txt: the name must end in .wav, .flac, .ogg, .opus or .mp3."},
        {"no/such/e.wav", "Cannot create file no/such/e.wav (No such file or directory)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path.toStdString());
        Errors.clear();
        if (AudioExport* run = Export(form, c.Path)) {
            QSignalSpy finished(run, &AudioExport::Finished);
            ASSERT_TRUE(finished.wait(10000));
        }
        EXPECT_EQ(Errors, std::vector<QString>{c.Error});
        EXPECT_EQ(FilesIn(Folder.Path()), 0u);
    }
}

// Chosen, the program's band conditions sound in the file: its lead-in
// silence is silent no longer.
TEST_F(ExportWindowTest, TheBandConditionsGoIntoTheFileWhenChosen)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    form.Band.Noise = true;
    for (bool band : {false, true}) {
        const QString path = band ? QStringLiteral("band.wav") : QStringLiteral("clean.wav");
        ExportDialog::SetChooser([&](QWidget*) { return ExportChoice{path, 5.0, std::nullopt, band, std::nullopt}; });
        form.SaveAudio1->trigger();
        QSignalSpy finished(form.findChild<AudioExport*>(), &AudioExport::Finished);
        ASSERT_TRUE(finished.wait(10000));
        const auto samples = kalvo::testing::ReadWav(path.toStdString())->Left;
        EXPECT_EQ(std::any_of(samples.begin(), samples.begin() + 400, [](std::int16_t v) { return v != 0; }), band);
        delete form.findChild<AudioExport*>();
    }
    EXPECT_TRUE(Errors.empty());
}

// Chosen, spoken answers follow the Morse, in the program's voice: "E" with
// its answer lasts over two seconds more than "E" alone.
TEST_F(ExportWindowTest, SpokenAnswersGoIntoTheFileWhenChosen)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    std::size_t lengths[2] = {};
    for (int answers : {0, 1}) {
        const QString path = answers ? QStringLiteral("answers.wav") : QStringLiteral("plain.wav");
        ExportDialog::SetChooser([&](QWidget*) {
            return ExportChoice{path, 5.0, std::nullopt, false,
                                answers ? std::optional<kalvo::AnswerLayout>(kalvo::AnswerLayout{}) : std::nullopt};
        });
        form.SaveAudio1->trigger();
        QSignalSpy finished(form.findChild<AudioExport*>(), &AudioExport::Finished);
        ASSERT_TRUE(finished.wait(10000));
        lengths[answers] = kalvo::testing::ReadWav(path.toStdString())->Left.size();
        delete form.findChild<AudioExport*>();
    }
    EXPECT_GT(lengths[1], lengths[0] + 2 * 8000);
    EXPECT_TRUE(Errors.empty());
}
