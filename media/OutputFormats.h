#pragma once
// The files a conversion writes, one row a format: what --format takes, what the
// help says of it, what the converter sets up (the encoders, their quality
// scale and settings, the muxer and its settings) and how the index page links
// it. Nothing here needs FFmpeg's libraries, so that a program without them
// reads the command line with the same table.
#include <string>
#include <vector>

// An option handed to an FFmpeg encoder or muxer by name, as ffmpeg's own
// command line takes it ("-preset medium").
struct NamedSetting {
    const char* name;
    const char* value;
};

struct OutputFormat {
    const char* name;          // as --format takes it: "mp4"
    const char* extension;     // of the files it names: ".mp4"
    const char* label;         // as the page names it: "MP4"
    const char* mimeType;      // as the page types it: "video/mp4"
    const char* contents;      // as the help says it: "H.264 and AAC"

    const char* muxer;         // FFmpeg's names
    const char* videoEncoder;
    const char* audioEncoder;

    // The video encoder's quality scale (CRF), from 0, the best, to crfMax;
    // crfDefault is what the tool picks: for x264 20 looks like the source,
    // for libvpx-vp9 32 is what its makers suggest for pictures of this size.
    int crfMax;
    int crfDefault;
    // The video encoder's speed presets (--preset), fastest first, and the
    // one taken when none is given; none for an encoder without them.
    const char* presetOwner;   // as the help names the encoder: "x264"
    std::vector<const char*> presets;
    const char* presetDefault;
    std::vector<NamedSetting> videoSettings;   // set whatever the options

    int audioBitsPerChannel;   // AAC wants more than Opus for the same sound

    // The muxer's settings for a file, which it may seek in and read back
    // (MP4: its index moved to the front), and for a stream (a pipe), which a
    // player starts on while it comes (MP4: fragmented).
    std::vector<NamedSetting> fileSettings;
    std::vector<NamedSetting> streamSettings;
};

// Every format, the default first.
const std::vector<OutputFormat>& OutputFormats();
const OutputFormat& DefaultOutputFormat();
// The format named name (in lower case, as the table has it); null when none is.
const OutputFormat* FindOutputFormat(const std::string& name);
