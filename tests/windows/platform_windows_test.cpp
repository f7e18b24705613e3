// The Windows side of the runtime layer against the real file system.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/platform/file_names.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own, as the program runs in the
// user's working folder.
class InFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = fs::temp_directory_path() /
              ("arrasto-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  static void put(const fs::path& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static std::string get(const fs::path& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Whatever is left in the folder besides the expected files.
  static std::size_t entries() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("."), {}));
  }

  // The message of what throws, or "no error".
  template <typename Action>
  static std::string error_of(Action action) {
    try {
      action();
    } catch (const rt::RunError& error) {
      return error.what();
    }
    return "no error";
  }
  // A message is one line in the program's form: no line break, no
  // trailing full stop or blank left over from the system's text.
  static void expect_one_line(const std::string& message, const std::string& start) {
    EXPECT_EQ(message.rfind(start, 0), 0u) << message;
    EXPECT_GT(message.size(), start.size()) << "no reason given: " << message;
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
    EXPECT_NE(message.back(), '.') << message;
    EXPECT_NE(message.back(), ' ') << message;
  }

 private:
  fs::path previous_, folder_;
};

TEST(WindowsNames, CharactersAndDeviceNamesWindowsRefuses) {
  for (const char* c : {"<", ">", ":", "\"", "|", "?", "*"})
    EXPECT_EQ(rt::name_fault(std::string("a") + c + "b"), std::string("holds a '") + c + "'");
  EXPECT_EQ(rt::name_fault("a."), "ends in a '.'");
  EXPECT_EQ(rt::name_fault("a "), "ends in a blank");
  for (const char* name : {"CON", "con", "Prn", "AUX", "NUL", "nul.txt", "NUL .txt", "COM1",
                           "com9.dat", "LPT1", "lpt9.a.b", "COM\xC2\xB9", "CONIN$", "conout$"})
    EXPECT_EQ(rt::name_fault(name), "is a device name on Windows") << name;
  for (const char* name : {"a.b", ".a", "Lan\xC3\xA7" "amento 2 (final)", "CONSOLE", "COM", "COM10",
                           "LPTX", "xNUL", "NUL_x", "Curva1_CON", "CON_trajet\xC3\xB3ria",
                           "AUXILIAR.txt"})
    EXPECT_EQ(rt::name_fault(name), "") << name;
}

TEST(WindowsNames, SpellingIgnoresCaseBeyondAscii) {
  EXPECT_TRUE(rt::same_spelling("dados.txt", "DADOS.TXT"));
  EXPECT_TRUE(rt::same_spelling("Relat\xC3\xB3rio", "RELAT\xC3\x93RIO"));  // ó, Ó
  EXPECT_TRUE(rt::same_spelling("lan\xC3\xA7" "a", "LAN\xC3\x87" "A"));    // ç, Ç
  EXPECT_FALSE(rt::same_spelling("Relat\xC3\xB3rio", "Relatorio"));
  EXPECT_FALSE(rt::same_spelling("a", "ab"));
  EXPECT_FALSE(rt::same_spelling("stra\xC3\x9F" "e", "STRASSE"));  // ordinal, not linguistic
}

TEST_F(InFolder, IdentityAndFoldersFollowTheFileNotTheSpelling) {
  put("dados.txt", "1\n");
  put("outro.txt", "1\n");
  fs::create_directory(L"pasta \u00E7");
  const auto data = rt::file_identity("dados.txt");
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(rt::file_identity("DADOS.TXT"), data);
  EXPECT_EQ(rt::file_identity(".\\dados.txt"), data);
  EXPECT_NE(rt::file_identity("outro.txt"), data);
  EXPECT_FALSE(rt::file_identity("nenhum.txt").has_value());
  EXPECT_TRUE(rt::is_folder("pasta \xC3\xA7"));
  EXPECT_TRUE(rt::is_folder("PASTA \xC3\x87"));
  EXPECT_FALSE(rt::is_folder("dados.txt"));
  EXPECT_FALSE(rt::is_folder("nenhuma"));
}

TEST_F(InFolder, OnlyACommittedFileReplacesTheOlderOneUnderAWideName) {
  // In the working folder, and in another one: the temporary file lives
  // beside its target.
  fs::create_directory(L"pasta \u00E7");
  const std::string names[] = {"Curva_trajet\xC3\xB3ria_Lan\xC3\xA7" "amento 2",
                               "pasta \xC3\xA7\\Curva1_x.svg"};
  const fs::path wide_names[] = {L"Curva_trajet\u00F3ria_Lan\u00E7amento 2",
                                 L"pasta \u00E7\\Curva1_x.svg"};
  for (int i = 0; i < 2; ++i) {
    put(wide_names[i], "older contents, longer than the new ones\r\n");
    {
      rt::OutputFile file(names[i]);
      file.write("a\r\n\x1A" "b\r\n", 7);
      file.commit();
    }
    EXPECT_EQ(get(wide_names[i]), std::string("a\r\n\x1A" "b\r\n"));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(L"pasta \u00E7"), {}), 1);
  // Not committed: the older file stays as it was.
  put("relatorio", "older\r\n");
  rt::OutputFile("relatorio").write("newer\r\n", 7);
  EXPECT_EQ(get("relatorio"), "older\r\n");
  EXPECT_EQ(entries(), 3u) << "a temporary file is left behind";
}

TEST_F(InFolder, FailedReplaceNamesTheFileAndTheReasonOnOneLine) {
  fs::create_directory("relatorio");
  put("relatorio/dentro", "kept");
  const std::string message = error_of([] {
    rt::OutputFile file("relatorio");
    file.write("x", 1);
    file.commit();
  });
  expect_one_line(message, "relatorio: cannot replace: ");
  EXPECT_EQ(get("relatorio/dentro"), "kept");
  EXPECT_EQ(entries(), 1u) << "the temporary file is left behind";
}

// The whole of a file, read through InputFile in pieces.
std::string read_all(const std::string& name) {
  rt::InputFile file(name);
  std::string bytes;
  char piece[4096];
  for (std::size_t n; (n = file.read(piece, sizeof piece)) > 0;) bytes.append(piece, n);
  return bytes;
}

TEST_F(InFolder, DataFileIsReadAsBytes) {
  // CR LF, a Ctrl-Z (the end of a file to some text modes) and a NUL pass
  // through untouched.
  const std::string bytes("1\r\n\x1A\r\n\0x\n\xE7", 10);
  put("dados.txt", bytes);
  EXPECT_EQ(read_all("dados.txt"), bytes);
  const std::string big(300000, 'x');
  put("grande.txt", big);
  EXPECT_EQ(read_all("grande.txt"), big);
}

TEST_F(InFolder, ReadErrorsNameTheFileAndTheReason) {
  expect_one_line(error_of([] { read_all("dados.txt"); }), "dados.txt: cannot open: ");
  fs::create_directory("pasta");
  EXPECT_EQ(error_of([] { read_all("pasta"); }), "pasta: cannot read: it is a folder");
}

}  // namespace
