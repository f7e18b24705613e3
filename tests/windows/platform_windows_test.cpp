// The Windows side of the runtime layer against the real file system.

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
              ("arrasto-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
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
  static std::ptrdiff_t entries(const fs::path& folder = ".") {
    return std::distance(fs::directory_iterator(folder), {});
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
  // Whether a message starts as given and goes on with the system's reason
  // as one line, without its closing full stop or blank.
  static bool one_line(const std::string& message, const std::string& start) {
    return message.starts_with(start) && message.size() > start.size() &&
           message.find_first_of("\r\n") == std::string::npos && message.back() != '.' &&
           message.back() != ' ';
  }

 private:
  fs::path previous_, folder_;
};

TEST(WindowsNames, RefusedNamesAndSameSpellings) {
  for (const char* c : {"<", ">", ":", "\"", "|", "?", "*"})
    EXPECT_EQ(rt::name_fault(std::string("a") + c + "b"), std::string("holds a '") + c + "'");
  EXPECT_EQ(rt::name_fault("a."), "ends in a '.'");
  EXPECT_EQ(rt::name_fault("a "), "ends in a blank");
  for (const char* name : {"con", "Prn", "AUX", "nul.txt", "NUL .txt", "COM1", "com9.dat", "LPT1",
                           "lpt9.a.b", "COM\xC2\xB9", "CONIN$", "conout$"})
    EXPECT_EQ(rt::name_fault(name), "is a device name on Windows") << name;
  for (const char* name : {".a", "Lan\xC3\xA7" "amento 2 (final)", "CONSOLE", "COM", "COM10",
                           "LPTX", "xNUL", "NUL_x", "Curva1_CON", "AUXILIAR.txt"})
    EXPECT_EQ(rt::name_fault(name), "") << name;
  // Spellings of one name: case ignored beyond ASCII, ordinal, not linguistic.
  EXPECT_TRUE(rt::same_spelling("dados.txt", "DADOS.TXT"));
  EXPECT_TRUE(rt::same_spelling("Relat\xC3\xB3rio", "RELAT\xC3\x93RIO"));  // ó, Ó
  EXPECT_FALSE(rt::same_spelling("Relat\xC3\xB3rio", "Relatorio"));
  EXPECT_FALSE(rt::same_spelling("a", "ab"));
  EXPECT_FALSE(rt::same_spelling("stra\xC3\x9F" "e", "STRASSE"));
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
  EXPECT_TRUE(rt::is_folder("PASTA \xC3\x87"));
  EXPECT_FALSE(rt::is_folder("dados.txt"));
  EXPECT_FALSE(rt::is_folder("nenhuma"));
}

TEST_F(InFolder, OnlyACommittedFileReplacesTheOlderOne) {
  // Under a wide name, in the working folder and in another one, where the
  // temporary file lives beside its target.
  fs::create_directory(L"pasta \u00E7");
  for (const auto& [name, wide] : {std::pair{"Curva_trajet\xC3\xB3ria_x", L"Curva_trajet\u00F3ria_x"},
                                   {"pasta \xC3\xA7\\Curva1_x.svg", L"pasta \u00E7\\Curva1_x.svg"}}) {
    put(wide, "older contents, longer than the new ones\r\n");
    rt::OutputFile file(name);
    file.write("a\r\n\x1A" "b\r\n", 7);
    file.commit();
    EXPECT_EQ(get(wide), std::string("a\r\n\x1A" "b\r\n"));
  }
  // Not committed, or a folder in the way: what was there stays, and the
  // failure is one line naming the file and the reason.
  put("relatorio", "older\r\n");
  rt::OutputFile("relatorio").write("newer\r\n", 7);
  EXPECT_EQ(get("relatorio"), "older\r\n");
  const std::string message = error_of([] { rt::OutputFile("pasta \xC3\xA7").commit(); });
  EXPECT_TRUE(one_line(message, "pasta \xC3\xA7: cannot replace: ")) << message;
  EXPECT_EQ(entries(L"pasta \u00E7"), 1);
  EXPECT_EQ(entries(), 3) << "a temporary file is left behind";
}

TEST_F(InFolder, DataFileIsReadAsBytesOrNamesTheFileAndTheReason) {
  const auto read_all = [](const std::string& name) {
    rt::InputFile file(name);
    std::string bytes;
    char piece[4096];
    for (std::size_t n; (n = file.read(piece, sizeof piece)) > 0;) bytes.append(piece, n);
    return bytes;
  };
  // CR LF, a Ctrl-Z (the end of a file to some text modes) and a NUL pass
  // through untouched, in a file of many pieces.
  const std::string bytes = std::string("1\r\n\x1A\r\n\0x\n\xE7", 10) + std::string(300000, 'x');
  put("dados.txt", bytes);
  EXPECT_EQ(read_all("dados.txt"), bytes);
  const std::string missing = error_of([&] { read_all("nenhum.txt"); });
  EXPECT_TRUE(one_line(missing, "nenhum.txt: cannot open: ")) << missing;
  fs::create_directory("pasta");
  EXPECT_EQ(error_of([&] { read_all("pasta"); }), "pasta: cannot read: it is a folder");
}

}  // namespace
