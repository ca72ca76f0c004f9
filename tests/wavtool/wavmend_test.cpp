// wavmend run as a user would, on real files, inside a private board.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "process.h"
#include "sandbox.h"

namespace {

using sandbox::readFile;
using sandbox::runProcess;
using Bytes = std::string;
using namespace std::string_literals;

const std::string source = "/tmp/take.wav";
const std::string target = "/tmp/final.wav";

void putLe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}

// The canonical 44-byte PCM header: fmt tag at 12, data tag at 36.
Bytes canonicalHeader(uint32_t riffSize, uint32_t dataSize, uint16_t blockAlign) {
  Bytes h = "RIFF....WAVEfmt \x10\0\0\0\x01\0\x02\0\x40\x1f\0\0\0\x7d\0\0..\x10\0data...."s;
  h.resize(44);
  putLe32(h, 4, riffSize);
  h[32] = char(blockAlign & 0xFF);
  h[33] = char(blockAlign >> 8);
  putLe32(h, 40, dataSize);
  return h;
}

Bytes withAudio(Bytes header, size_t totalLength) {
  for (size_t i = header.size(); i < totalLength; ++i) header.push_back(char(i * 7));
  return header;
}

off_t fileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

sandbox::ProcessResult wavmend(std::vector<std::string> args = {source, target}) {
  args.insert(args.begin(), WAVMEND);
  return runProcess(args);
}

// What Python's own WAV reader makes of a file: frames, channels, width, and the audio.
std::string readWithPython(const std::string& path) {
  auto result = runProcess({"/usr/bin/python3", "-c",
                            "import sys, wave\n"
                            "w = wave.open(sys.argv[1])\n"
                            "print(w.getnframes(), w.getnchannels(), w.getsampwidth())\n"
                            "sys.stdout.write(w.readframes(w.getnframes()).hex())\n",
                            path});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result.out;
}

const char* repairedLines =
    "Size in Header is -1, so assuming it's unfinished and needs fixing.\n"
    "Found fmt block.\n"
    "Found blockAlignment of size 4.\n"
    "Found data block.\n"
    "Found data length block of 0.\n";

TEST(Wavmend, RepairsARecordingCutOffMidBlock) {
  // 1000 stereo 16-bit frames from a real writer.
  auto made = runProcess({"sox", "-r", "8000", "-c", "2", "-n", "-b", "16", "-e", "signed-integer", "/tmp/whole.wav",
                          "synth", "1000s", "sine", "440"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  Bytes whole = readFile("/tmp/whole.wav");
  ASSERT_EQ(whole.size(), 44u + 4000u);
  ASSERT_EQ(whole.substr(36, 4), "data");

  // Cut after 700 frames and one byte more, with both sizes left at -1.
  Bytes cut = whole.substr(0, 44 + 2800 + 3);
  putLe32(cut, 4, 0xFFFFFFFF);
  putLe32(cut, 40, 0xFFFFFFFF);
  sandbox::writeFile(source, cut);

  auto result = wavmend();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, repairedLines);
  EXPECT_EQ(result.err, "Calculated Blk size: 2800.\n");
  EXPECT_FALSE(exists(source));
  EXPECT_EQ(fileSize(target), 44 + 2800);

  Bytes firstFrames = whole.substr(0, 44 + 2800);
  putLe32(firstFrames, 4, 36 + 2800);
  putLe32(firstFrames, 40, 2800);
  sandbox::writeFile("/tmp/expected.wav", firstFrames);
  std::string readBack = readWithPython(target);
  EXPECT_EQ(readBack.substr(0, readBack.find('\n')), "700 2 2");
  EXPECT_EQ(readBack, readWithPython("/tmp/expected.wav"));

  // A second run finds the file finished.
  auto again = wavmend({target, "/tmp/other.wav"});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.err, "Size in Header is correct - Assuming file is OK and finished successfully.\n");
  EXPECT_FALSE(exists("/tmp/other.wav"));
}

TEST(Wavmend, RepairComputesSizesFromTheFirstTags) {
  struct Case {
    const char* what;
    Bytes header;
    size_t length;
    uint32_t dataAt;      // where the first "data" tag is
    uint32_t dataLength;  // L
  };
  Bytes listFirst = "RIFF\xff\xff\xff\xffWAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0"s
                    "LIST\x0c\0\0\0INFOa data!!!data\xff\xff\xff\xff"s;
  const Case cases[] = {
      {"worked example", canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4), 1000003, 36, 999956},
      {"whole blocks only", canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 6), 44 + 600 + 5, 36, 600},
      {"block alignment 0", canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 0), 500, 36, 0},
      // The LIST text holds "data" before the real chunk: its place wins.
      {"data inside LIST", listFirst, 1000, 50, 2 * ((1000 - 58) / 2)},
  };
  for (const Case& c : cases) {
    Bytes file = withAudio(c.header, c.length);
    sandbox::writeFile(source, file);
    auto result = wavmend();
    EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.err;
    EXPECT_EQ(result.err, "Calculated Blk size: " + std::to_string(c.dataLength) + ".\n") << c.what;

    Bytes expected = file.substr(0, c.dataAt + 8 + c.dataLength);
    putLe32(expected, 4, c.dataAt + c.dataLength);
    putLe32(expected, c.dataAt + 4, c.dataLength);
    EXPECT_TRUE(readFile(target) == expected) << c.what;
  }
}

TEST(Wavmend, WorkedExampleOutput) {
  sandbox::writeFile(source, withAudio(canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4), 1000003));
  auto result = wavmend();
  EXPECT_EQ(result.out, repairedLines);
  EXPECT_EQ(result.err, "Calculated Blk size: 999956.\n");
  Bytes repaired = readFile(target);
  EXPECT_EQ(repaired.size(), 1000000u);
  EXPECT_EQ(repaired.substr(4, 4), Bytes("\x38\x42\x0f\x00", 4));   // 999992
  EXPECT_EQ(repaired.substr(40, 4), Bytes("\x14\x42\x0f\x00", 4));  // 999956
}

TEST(Wavmend, RefusedFilesAreLeftAsTheyWere) {
  Bytes valid = withAudio(canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4), 400);
  auto changed = [&](size_t at, const Bytes& bytes) {
    Bytes b = valid;
    b.replace(at, bytes.size(), bytes);
    return b;
  };
  auto tagAt = [&](const char* tag, size_t at) {
    Bytes b = withAudio(Bytes("RIFF\xff\xff\xff\xffWAVE", 12), 400);
    b.replace(at, 4, tag);
    return b;
  };
  Bytes fmtOnly = tagAt("fmt ", 12);
  struct Case {
    const char* what;
    Bytes file;
    const char* err;
    int status;
  };
  const Case cases[] = {
      {"199 bytes", valid.substr(0, 199), "File smaller than 200 bytes.\n", 255},
      {"RIFX", changed(0, "RIFX"), "Not a WAVE FILE.\n", 255},
      {"RF64", changed(0, "RF64"), "Not a WAVE FILE.\n", 255},
      {"not WAVE", changed(8, "AVI "), "Not a WAVE FILE.\n", 255},
      {"finished", changed(4, "\x88\x01\0\0"s),
       "Size in Header is correct - Assuming file is OK and finished successfully.\n", 0},
      {"other size", changed(4, "\xd2\x04\0\0"s), "Size in Header is not -1, so don't know how to handle it.\n",
       255},
      {"no fmt", tagAt("data", 36), "No fmt block in the first 200 bytes.\n", 255},
      {"fmt too late", tagAt("fmt ", 179), "The fmt block's alignment field lies beyond the first 200 bytes.\n", 255},
      {"no data", fmtOnly, "No data block in the first 200 bytes.\n", 255},
      {"data too late", [&] {
         Bytes b = fmtOnly;
         b.replace(193, 4, "data");
         return b;
       }(),
       "The data block's size field lies beyond the first 200 bytes.\n", 255},
  };
  for (const Case& c : cases) {
    sandbox::writeFile(source, c.file);
    auto result = wavmend();
    EXPECT_EQ(result.exitCode, c.status) << c.what;
    EXPECT_TRUE(result.err.ends_with(c.err)) << c.what << ": " << result.err;
    EXPECT_TRUE(readFile(source) == c.file) << c.what;
    EXPECT_FALSE(exists(target)) << c.what;
  }
}

TEST(Wavmend, RefusesFilesBeyondWhatRiffCanDescribe) {
  sandbox::writeFile(source, canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4));
  const off_t length = 0x100000000 + 1000;  // sparse
  ASSERT_EQ(truncate(source.c_str(), length), 0);
  auto result = wavmend();
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_EQ(result.err, "File longer than 4 GiB: its sizes cannot be written in a RIFF header.\n");
  EXPECT_EQ(fileSize(source), length);
  char header[44];
  FILE* file = fopen(source.c_str(), "rb");
  ASSERT_TRUE(file && fread(header, 1, 44, file) == 44);
  fclose(file);
  EXPECT_EQ(Bytes(header, 44), canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4));
  EXPECT_FALSE(exists(target));
}

TEST(Wavmend, CommandLineAndFileErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* err;
  };
  const Case cases[] = {
      {{}, "Usage: wavmend source target\n"},
      {{source}, "Usage: wavmend source target\n"},
      {{"/tmp/missing.wav", target}, "Could not open file.\n"},
  };
  Bytes file = withAudio(canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4), 400);
  for (const Case& c : cases) {
    sandbox::writeFile(source, file);
    auto result = wavmend(c.args);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.err);
    EXPECT_TRUE(readFile(source) == file);
  }
}

TEST(Wavmend, RenameFailuresAndExistingTargets) {
  Bytes file = withAudio(canonicalHeader(0xFFFFFFFF, 0xFFFFFFFF, 4), 400);

  sandbox::writeFile(source, file);
  sandbox::writeFile(target, "an older take");
  EXPECT_EQ(wavmend().exitCode, 0);
  EXPECT_EQ(fileSize(target), 44 + 356);

  // The repair is done in place before the rename fails.
  sandbox::writeFile(source, file);
  auto result = wavmend({source, "/tmp/no/such/folder.wav"});
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_TRUE(result.err.ends_with("Error renaming original File.\n")) << result.err;
  EXPECT_EQ(fileSize(source), 44 + 356);
}

}  // namespace
