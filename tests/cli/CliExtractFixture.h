#pragma once
// disc1.pak of the demo set in a scratch folder, for tests of extract.
#include "CliRunner.h"
#include "DemoDiscs.h"

#include <gtest/gtest.h>

using testsupport::Span;
using testsupport::Text;

class CliExtract : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_archive = testsupport::BuildDemoArchive(DISC1);
        m_archive.WriteTo(m_folder / "disc1.pak");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }
    std::string ArchiveOnDisk() { return ReadWholeFile(m_folder / "disc1.pak"); }
    std::string Hi(size_t clip) const
    {
        const testsupport::BuiltClip& built = m_archive.Clips()[clip];
        return Span(m_archive, built.hiOffset, built.hiSize);
    }
    std::string Lo(size_t clip) const
    {
        const testsupport::BuiltClip& built = m_archive.Clips()[clip];
        return Span(m_archive, built.loOffset, built.loSize);
    }

    ScratchFolder m_folder;
    testsupport::ArchiveBuilder m_archive;
};
