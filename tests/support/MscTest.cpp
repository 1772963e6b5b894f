#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ArdoTrace.h"
#include "Msc.h"
#include "TempDir.h"

namespace {

TEST(MscMatch, Wildcards) {
  struct Case { const char* pattern; const char* text; short ignoreCase; int result; } cases[] = {
      {"*.txt", "a.TXT", 1, 1}, {"*.txt", "a.TXT", 0, 0}, {"a*", "", 0, 0}, {"[!a-c]x", "dx", 0, 1},
      {"[!a-c]x", "bx", 0, 0}, {"[a-c]x", "bx", 0, 1}, {"[-a]", "-", 0, 1}, {"[a\\]]", "]", 0, 1},
      {"[abc", "a", 0, 0}, {"[]a]", "]", 0, 0}, {"?", "", 0, 0}, {"?", "x", 0, 1}, {"a?c", "abc", 0, 1},
      {"*", "", 0, 1}, {"", "", 0, 1}, {"", "a", 0, 0}, {"a\\*", "a*", 0, 1}, {"a\\*", "ab", 0, 0},
      {"a\\", "abcdef", 0, 1}, {"*b*c", "abxc", 0, 1}, {"*b", "aaa", 0, 0}, {"a*b*c*d", "abcabc", 0, 0},
      {"[^x]", "y", 0, 1}, {"[A-Z]", "q", 1, 1}, {"**x", "abx", 0, 1}, {"x*", "x", 0, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MscRegularMatch(c.pattern, c.text, c.ignoreCase), c.result) << c.pattern << " ~ " << c.text;
  // Many stars against a long text: the give-up rule keeps this quick.
  std::string text(5000, 'a');
  EXPECT_NE(MscRegularMatch("*a*a*a*a*a*a*a*a*b", text.c_str(), 0), 1);
}

TEST(MscMatch, StringLists) {
  std::vector<CString> list = {"beta", "Alpha", "gamma", "alpha"};
  CString found;
  EXPECT_TRUE(MscStringListFindItem("a*", list, found, 0));
  EXPECT_STREQ(found, "alpha");
  EXPECT_TRUE(MscStringListFindItem("A*", list, found, 1));
  EXPECT_STREQ(found, "Alpha");
  EXPECT_FALSE(MscStringListFindItem("z*", list, 1));
  MscListSort(list);
  EXPECT_STREQ(list[0], "Alpha");
  EXPECT_STREQ(list[3], "gamma");
  std::vector<CString> exclusions = {"beta", "ALPHA"};
  std::vector<CString> result = {"old"};
  MscExclusionList(list, exclusions, result);
  ASSERT_EQ(result.size(), 3u);
  EXPECT_STREQ(result[0], "Alpha");
  EXPECT_STREQ(result[1], "alpha");
  MscStringListMakeUpper(result);
  EXPECT_STREQ(result[2], "GAMMA");
}

TEST(MscPaths, Split) {
  struct Case { const char* path; const char* dir; const char* name; const char* ext; const char* nameNoExt; } cases[] = {
      {"/var/log/app.log", "/var/log/", "app", ".log", "app.log"},
      {"/a.b/file", "/a.b/", "file", "", "file"},
      {"name", "", "name", "", "name"},
      {"rel/x.tar.gz", "rel/", "x.tar", ".gz", "x.tar.gz"},
      {"/root.txt", "/", "root", ".txt", "root.txt"},
      {"dir/", "dir/", "", "", ""},
  };
  for (const Case& c : cases) {
    char dir[kMscPathSize], name[kMscPathSize], ext[kMscPathSize];
    MscPathSplit(c.path, dir, name, ext);
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(name, c.name) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
    MscPathSplit(c.path, nullptr, name, nullptr);
    EXPECT_STREQ(name, c.nameNoExt) << c.path;
    CString cdir, cname, cext;
    MscPathSplit(c.path, &cdir, &cname, &cext);
    EXPECT_STREQ(cdir, c.dir) << c.path;
    EXPECT_STREQ(cname, c.name) << c.path;
    EXPECT_STREQ(cext, c.ext) << c.path;
  }
  // A leading dot without "/" is an extension only for the char* form.
  char name[kMscPathSize], ext[kMscPathSize];
  MscPathSplit(".profile", nullptr, name, ext);
  EXPECT_STREQ(name, "");
  EXPECT_STREQ(ext, ".profile");
  CString cname, cext;
  MscPathSplit(".profile", nullptr, &cname, &cext);
  EXPECT_STREQ(cname, ".profile");
  EXPECT_STREQ(cext, "");
  // Outputs never exceed the path buffer.
  std::string huge(10000, 'p');
  std::vector<char> out(kMscPathSize);
  MscPathSplit(huge.c_str(), nullptr, out.data(), nullptr);
  EXPECT_EQ(strlen(out.data()), static_cast<size_t>(kMscPathSize - 1));
}

TEST(MscPaths, Make) {
  struct Case { const char* dir; const char* name; const char* ext; const char* path; } cases[] = {
      {"/tmp", "x", "txt", "/tmp/x.txt"}, {"/tmp/", "x", ".txt", "/tmp/x.txt"}, {nullptr, "x", nullptr, "x"},
      {"", "x", "", "x."},                 {"/d", nullptr, nullptr, "/d/"},     {"d", "n", ".e", "d/n.e"},
  };
  for (const Case& c : cases) {
    char dst[kMscPathSize];
    MscPathMake(dst, c.dir, c.name, c.ext);
    EXPECT_STREQ(dst, c.path);
    CString cdst;
    MscPathMake(cdst, c.dir, c.name, c.ext);
    EXPECT_STREQ(cdst, c.path);
  }
  std::string longName(3000, 'n');
  CString joined;
  MscPathMake(joined, "/some/dir", longName.c_str(), "ext");  // no 1024-byte limit
  EXPECT_EQ(joined.GetLength(), 10 + 3000 + 4);
  std::vector<char> dst(kMscPathSize);
  MscPathMake(dst.data(), longName.c_str(), longName.c_str(), nullptr);
  EXPECT_EQ(strlen(dst.data()), static_cast<size_t>(kMscPathSize - 1));
}

TEST(MscPaths, ExpandRelPath) {
  struct Case { const char* path; const char* base; BOOL result; const char* out; } cases[] = {
      {"./x", "/a/b", TRUE, "/a/b/x"},        {"x", "/a/b", TRUE, "/a/b/x"},
      {"../x", "/a/b", TRUE, "/a/x"},         {"../../x", "/a/b/c", TRUE, "/a/b/../x"},
      {"/abs", "/a/b", TRUE, "/abs"},         {"../x", "", FALSE, "../x"},
  };
  for (const Case& c : cases) {
    CString path(c.path);
    EXPECT_EQ(MscExpandRelPath(path, c.base), c.result) << c.path;
    EXPECT_STREQ(path, c.out) << c.path;
  }
}

TEST(MscPaths, ReadlinkRunsWithTheNameAsOneWord) {
  TempDir dir;
  std::string target = dir.File("target");
  WriteFile(target, "x");
  std::string link = dir.File("link");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  CString path(link.c_str());
  EXPECT_TRUE(MscExpandRelPath(path));
  char real[PATH_MAX];
  ASSERT_NE(realpath(target.c_str(), real), nullptr);
  EXPECT_STREQ(path, real);

  // Shell syntax in a name is not executed.
  std::string marker = dir.File("marker");
  CString hostile((dir.File("a'; touch " + marker + "; echo '") + "$(touch " + marker + ")").c_str());
  EXPECT_TRUE(MscExpandRelPath(hostile));
  EXPECT_FALSE(std::filesystem::exists(marker));
  EXPECT_STREQ(MscReadlinkCommand("it's"), "readlink -f -- 'it'\\''s'");

  char buf[kMscPathSize];
  EXPECT_EQ(MscSymLinkRead(link.c_str(), buf, sizeof buf), static_cast<int>(target.size()));
  EXPECT_STREQ(buf, target.c_str());
  char small[4];
  EXPECT_EQ(MscSymLinkRead(link.c_str(), small, sizeof small), 3);
  EXPECT_EQ(MscSymLinkRead(target.c_str(), buf, sizeof buf), 0);
  CString linkTarget;
  EXPECT_GT(MscSymLinkRead(link.c_str(), linkTarget), 0);
  EXPECT_STREQ(linkTarget, target.c_str());
}

TEST(MscPaths, ExpandEnvir) {
  setenv("KEB_TEST_VAR", "value", 1);
  unsetenv("KEB_TEST_UNSET");
  struct Case { const char* src; const char* out; } cases[] = {
      {"$KEB_TEST_VAR/x", "value/x"}, {"a/$KEB_TEST_VAR", "a/value"}, {"$KEB_TEST_UNSET/y", "/y"},
      {"plain", "plain"},             {"", ""},
  };
  for (const Case& c : cases) {
    char dst[kMscEnvirSize];
    EXPECT_STREQ(MscExpandEnvir(c.src, dst), c.out) << c.src;
  }
  std::string big(3000, 'b');
  setenv("KEB_TEST_BIG", big.c_str(), 1);
  std::vector<char> dst(kMscEnvirSize);
  MscExpandEnvir("$KEB_TEST_BIG/$KEB_TEST_BIG/$KEB_TEST_BIG", dst.data());  // bounded to its 4096 bytes
  EXPECT_EQ(strlen(dst.data()), static_cast<size_t>(kMscEnvirSize - 1));
}

TEST(MscFiles, TempNamesAndDirectories) {
  TempDir dir;
  CString name("tmp");
  EXPECT_TRUE(MscTemporaryNameMake(dir.Path().c_str(), name));
  EXPECT_EQ(std::string(name), dir.File("tmp000000"));
  WriteFile(dir.File("tmp000000"), "");
  name = "tmp";
  EXPECT_TRUE(MscTemporaryNameMake(dir.Path().c_str(), name));
  EXPECT_EQ(std::string(name), dir.File("tmp000001"));

  EXPECT_TRUE(MscDirectoryExists(dir.Path().c_str(), TRUE));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no probe left behind
  EXPECT_FALSE(MscDirectoryExists(dir.File("none").c_str(), FALSE));
  EXPECT_FALSE(MscDirectoryExists(dir.File("tmp000000").c_str(), FALSE));

  const char* saved = getenv("TEMP");
  std::string keep = saved ? saved : "";
  setenv("TEMP", dir.Path().c_str(), 1);
  CString temp("junk");
  EXPECT_TRUE(MscTempDirGet(temp));
  EXPECT_EQ(std::string(temp), dir.Path());
  setenv("TEMP", dir.File("none").c_str(), 1);
  EXPECT_TRUE(MscTempDirGet(temp));
  EXPECT_NE(std::string(temp), dir.File("none"));
  if (saved) setenv("TEMP", keep.c_str(), 1);
  else unsetenv("TEMP");
}

TEST(MscFiles, ExistsSizeInfo) {
  TempDir dir;
  std::string file = dir.File("f.bin");
  WriteFile(file, std::string(1234, 'z'));
  std::string link = dir.File("l");
  ASSERT_EQ(symlink("f.bin", link.c_str()), 0);
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(MscFileExists(file.c_str()));
  EXPECT_TRUE(MscFileExists(link.c_str()));
  EXPECT_TRUE(MscFileExists(fifo.c_str()));
  EXPECT_FALSE(MscFileExists(dir.Path().c_str()));
  EXPECT_FALSE(MscFileExists(dir.File("none").c_str()));
  EXPECT_EQ(MscFileSize(file.c_str()), 1234u);
  EXPECT_EQ(MscFileSize(link.c_str()), 5u);  // the link itself
  EXPECT_EQ(MscFileSize(fifo.c_str()), 0u);
  EXPECT_EQ(MscFileSize(dir.File("none").c_str()), 0u);
  FILE* f = fopen(file.c_str(), "rb");
  fseek(f, 10, SEEK_SET);
  EXPECT_EQ(MscFileSize(f), 1234u);
  EXPECT_EQ(ftell(f), 10);
  fclose(f);
  unsigned size = 0;
  CTime changed;
  EXPECT_TRUE(MscFileInfoGet(file.c_str(), size, changed));
  EXPECT_EQ(size, 1234u);
  EXPECT_LE(std::labs(static_cast<long>(changed.GetTime() - time(nullptr))), 60);
  EXPECT_FALSE(MscFileInfoGet(dir.File("none").c_str(), size, changed));
}

TEST(MscFiles, Copy) {
  TempDir dir;
  std::string src = dir.File("src"), dst = dir.File("dst");
  std::string content(5000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  WriteFile(src, content);
  EXPECT_TRUE(MscFileCopy(src.c_str(), dst.c_str(), FALSE));
  EXPECT_EQ(ReadFile(dst), content);
  WriteFile(dst, "keep");
  EXPECT_FALSE(MscFileCopy(src.c_str(), dst.c_str(), TRUE));
  EXPECT_EQ(ReadFile(dst), "keep");
  EXPECT_FALSE(MscFileCopy(dir.File("none").c_str(), dst.c_str(), FALSE));
  EXPECT_EQ(ReadFile(dst), "keep");  // a missing source leaves the destination alone
  EXPECT_FALSE(MscFileCopy(src.c_str(), src.c_str(), FALSE));
  EXPECT_EQ(ReadFile(src), content);  // copying onto itself would have emptied it
  EXPECT_FALSE(MscFileCopy(src.c_str(), dir.File("no/dir").c_str(), FALSE));
}

TEST(MscFiles, RemoveWildTreeAndListing) {
  TempDir dir;
  std::string root = dir.File("tree");
  std::filesystem::create_directories(root + "/sub/deeper");
  for (const char* name : {"a.log", "b.LOG", "c.txt", "..hidden"}) WriteFile(root + "/" + name, "x");
  WriteFile(root + "/sub/deeper/f", "x");
  ASSERT_EQ(symlink("/", (root + "/sub/rootlink").c_str()), 0);

  std::vector<CString> files;
  MscFindFileList((root + "/*").c_str(), files, FALSE);
  MscListSort(files);
  ASSERT_EQ(files.size(), 3u);  // "..hidden" counts as a dot entry
  EXPECT_STREQ(files[0], "a.log");
  std::vector<CString> logs = {"kept"};
  MscFindFileList((root + "/*.log").c_str(), logs, TRUE);
  EXPECT_EQ(logs.size(), 3u);  // appended, not cleared
  std::vector<CString> dirs;
  MscFindDirList((root + "/*").c_str(), dirs, FALSE);
  ASSERT_EQ(dirs.size(), 1u);
  EXPECT_STREQ(dirs[0], "sub");
  std::vector<CString> none;
  MscFindDirEntries((dir.File("missing") + "/*").c_str(), none, S_IFREG, 0, FALSE);
  EXPECT_TRUE(none.empty());

  EXPECT_TRUE(MscFileRemoveWild((root + "/*.log").c_str(), TRUE));
  EXPECT_FALSE(std::filesystem::exists(root + "/b.LOG"));
  EXPECT_TRUE(std::filesystem::exists(root + "/c.txt"));
  EXPECT_FALSE(MscFileRemoveWild("*.txt", FALSE));  // no directory part
  EXPECT_TRUE(std::filesystem::exists(root + "/c.txt"));

  std::filesystem::remove(root + "/..hidden");
  EXPECT_TRUE(MscTreeRemove(root.c_str()));
  EXPECT_FALSE(std::filesystem::exists(root));
  EXPECT_TRUE(std::filesystem::exists("/bin"));  // the link was removed, not followed
  EXPECT_FALSE(MscTreeRemove(dir.File("missing").c_str()));
}

TEST(MscMisc, VariableStringSet) {
  char buf[10];
  memset(buf, '#', sizeof buf);
  EXPECT_EQ(MscVariableStringSet(buf, "ab", 0, 10), 3u);
  EXPECT_EQ(std::string(buf, 4), std::string("ab\0#", 4));
  EXPECT_EQ(MscVariableStringSet(buf, "cdef", 3, 10), 8u);
  EXPECT_EQ(MscVariableStringSet(buf, "ghij", 8, 10), 10u);  // cut, no terminator
  EXPECT_EQ(std::string(buf, 10), std::string("ab\0cdef\0gh", 10));
  EXPECT_EQ(MscVariableStringSet(buf, "k", 10, 10), 9u);
  EXPECT_EQ(std::string(buf, 10), std::string("ab\0cdef\0gh", 10));
}

TEST(MscMisc, DumpBuffer) {
  unsigned char data[20];
  for (int i = 0; i < 20; ++i) data[i] = static_cast<unsigned char>('A' + i);
  data[1] = 0x7f;
  char* text = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&text, &size);
  MscDumpBuffer(stream, data, 16);
  MscDumpBuffer(stream, data, 20);
  fclose(stream);
  std::string out(text, size);
  free(text);
  std::string full = "0x0000 41 7f 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50 A.CDEFGH IJKLMNOP\n";
  std::string partial = "0x0010 51 52 53 54 " + std::string(12 * 3 + 1, ' ') + "QRST\n";
  EXPECT_EQ(out, full + full + partial);
}

TEST(MscMisc, SmallConversions) {
  EXPECT_STREQ(MscLastErr2Str(0), "ERROR_SUCCESS");
  EXPECT_STREQ(MscLastErr2Str(258), "WAIT_TIMEOUT");
  EXPECT_STREQ(MscLastErr2Str(1460), "ERROR_TIMEOUT");
  EXPECT_STREQ(MscLastErr2Str(7), "<unknown>");
  EXPECT_STREQ(MscLastErrToStr(ENOENT), strerror(ENOENT));
  CString out("pw:");
  EXPECT_STREQ(MscPassword2Str("abcd", out), "pw:****");
  EXPECT_STREQ(MscPassword2Str("", out), "<empty>");
  EXPECT_STREQ(MscPassword2Str(nullptr, out), "<empty>");
  EXPECT_TRUE(MscIsNumeric("0123"));
  EXPECT_FALSE(MscIsNumeric("12a"));
  EXPECT_FALSE(MscIsNumeric(""));
  CString text("x");
  EXPECT_EQ(MscReplacePatterns(text), TRUE);
  CString node;
  EXPECT_TRUE(MscNodeNameGet(node));
  EXPECT_FALSE(node.IsEmpty());
  EXPECT_EQ(MscIsRootGroup(), getegid() == 0 ? TRUE : FALSE);
  EXPECT_FALSE(MscIsGroupId("no-such-group-name"));
  EXPECT_EQ(strlen(g_szMscSpaces), 79u);
  EXPECT_EQ(strspn(g_szMscSpaces, " "), 79u);
}

TEST(MscMisc, ShutdownArguments) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(MscShutdownArguments(0, nullptr), (Args{"/sbin/shutdown", "-r", "now"}));
  EXPECT_EQ(MscShutdownArguments(5, "bye"), (Args{"/sbin/shutdown", "-r", "+5", "bye"}));
  std::string longMessage(400, 'm');
  EXPECT_EQ(MscShutdownArguments(1, longMessage.c_str())[3].size(), 255u);
  if (geteuid() != 0) EXPECT_EQ(MscShutdown(0, nullptr), FALSE);  // never called as root here
}

}  // namespace
