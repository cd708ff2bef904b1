// Form files: the bundled file against the compiled form, writing and
// reading back, each kind of bad file refused naming its item, and the
// library of bundled and user forms with its notices.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "print/core/form_check.h"
#include "print/core/form_file.h"
#include "print/core/form_library.h"
#include "tests/support/scratch_folder.h"

using print::Form;
using print::FormItem;
using print::FormProblem;

namespace {

const std::string kBundledFile = std::string(VP_SOURCE_FORMS) + "/pelican.form";

// Problems of a file's text: the reader's, else the check's.
std::vector<FormProblem> problemsOf(const std::string& text) {
    print::FormRead read = print::parseForm(text, "test");
    if (!read.form) return read.problems;
    EXPECT_TRUE(read.problems.empty());
    return print::checkForm(*read.form);
}

// The built-in file's text with `from` replaced by `to` (the line must be there).
std::string edited(const std::string& from, const std::string& to) {
    std::string text = print::formText(print::builtinForm());
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::logic_error("no line " + from);
    return text.replace(at, from.size(), to);
}

std::string describe(const std::vector<FormProblem>& problems) {
    std::string out;
    for (const FormProblem& p : problems) out += "[" + p.item + "] " + p.message + "\n";
    return out;
}

}  // namespace

TEST(FormFile, BundledFileIsTheCompiledFormItemForItem) {
    const print::FormEntry entry = print::readFormFile(kBundledFile);
    ASSERT_TRUE(entry.form) << describe(entry.problems);
    const Form& file = *entry.form;
    const Form& built = print::builtinForm();
    ASSERT_EQ(file.items.size(), static_cast<std::size_t>(FormItem::Count));
    for (std::size_t i = 0; i < file.items.size(); ++i) {
        const print::FormItemPlace &a = file.items[i], &b = built.items[i];
        SCOPED_TRACE(b.key);
        EXPECT_EQ(a.item, b.item);
        EXPECT_STREQ(a.key, b.key);
        EXPECT_STREQ(a.label, b.label);
        EXPECT_EQ(std::vector<int>({a.size, a.u, a.v, a.right, a.bottom}),
                  std::vector<int>({b.size, b.u, b.v, b.right, b.bottom}));
    }
    EXPECT_TRUE(file == built);  // name, carrier, sizes, tracking, byte limits too
    EXPECT_TRUE(print::checkForm(built).empty()) << describe(print::checkForm(built));
}

TEST(FormFile, WritingAndReadingBackGivesTheSameForm) {
    Form other = print::builtinForm();
    other.id = "other";
    other.name = "発払い; 3枚複写 #2";  // ';' and '#' inside a text are no comment
    other.carrier = {"運送会社", "宅配便", "Other", ""};
    other.tracking = print::TrackingRule::Digits;
    other.trackingDigits = 11;
    other.width = 1400;
    other.pageLength = 800;
    other.items.erase(other.items.begin() + static_cast<int>(FormItem::Goods3));  // not printed on this form
    other.items.front().u = 200;
    other.byteLimits[static_cast<std::size_t>(FormItem::Add1)] = 40;
    for (const Form* form : {&print::builtinForm(), static_cast<const Form*>(&other)}) {
        SCOPED_TRACE(form->id);
        const print::FormRead back = print::parseForm(print::formText(*form), form->id);
        ASSERT_TRUE(back.form) << describe(back.problems);
        EXPECT_TRUE(*back.form == *form);
        EXPECT_EQ(print::formText(*back.form), print::formText(*form));
    }
}

TEST(FormFile, CommentsBlankLinesCrLfAndAByteOrderMarkAreRead) {
    std::string text = "\xef\xbb\xbf# a form\r\n" + edited("width = 1280", "width = 1280   ; eight inches");
    text = text.replace(text.find("\n[items]"), 1, "\r\n\r\n");
    const print::FormRead read = print::parseForm(text, "pelican");
    ASSERT_TRUE(read.form) << describe(read.problems);
    EXPECT_TRUE(*read.form == print::builtinForm());
}

TEST(FormFile, BadFilesAreRefusedNamingTheItem) {
    struct Case {
        const char* what;
        std::function<std::string()> text;
        std::string item, message;
    };
    const std::string big = print::formText(print::builtinForm()) + std::string(print::kMaxFormFileBytes, ';');
    const Case cases[] = {
        {"name missing", [] { return edited("name = 10, 180, 240, 560, 290\n", ""); }, "name", "必要な項目がありません"},
        {"address missing", [] { return edited("add1 = 10, 180, 80, 560, 140\n", ""); }, "add1", "必要な項目がありません"},
        {"zip box missing", [] { return edited("zip4 = 14, 350, 30, 399, 80\n", ""); }, "zip4", "一部しかありません"},
        {"outside right", [] { return edited("g1 = 10, 810, 160, 1280,", "g1 = 10, 810, 160, 1300,"); }, "g1", "外に出ています"},
        {"outside left", [] { return edited("add1 = 10, 180,", "add1 = 10, -5,"); }, "add1", "外に出ています"},
        {"empty area", [] { return edited("tel = 10, 245, 290, 560,", "tel = 10, 245, 290, 200,"); }, "tel", "右端・下端"},
        {"overlap", [] { return edited("add2 = 10, 180, 140, 560, 240", "add2 = 10, 180, 140, 560, 260"); }, "add2", "name の枠と重なっています"},
        {"font over height", [] { return edited("add1 = 10,", "add1 = 40,"); }, "add1", "枠の高さ 60 に収まりません"},
        {"font over box width", [] { return edited("zip1 = 14,", "zip1 = 21,"); }, "zip1", "枠の幅 45 に収まりません"},
        {"font too small", [] { return edited("g1 = 10,", "g1 = 3,"); }, "g1", "4 から 72 pt まで"},
        {"byte limit", [] { return edited("add1 = 10, 180, 80, 560, 140", "add1 = 10, 180, 80, 560, 140, 256"); }, "add1", "0 から 255 まで"},
        {"duplicate item", [] { return edited("g2 =", "g1 = 10, 810, 160, 1280, 190\ng2 ="); }, "g1", "二度あります"},
        {"duplicate key", [] { return edited("height = 640", "height = 640\nheight = 600"); }, "height", "二度あります"},
        {"unknown item", [] { return edited("[items]\n", "[items]\nfax = 10, 0, 0, 10, 10\n"); }, "fax", "という項目はありません"},
        {"unknown key", [] { return edited("height = 640", "height = 640\ncolour = red"); }, "colour", "というキーはありません"},
        {"unknown section", [] { return edited("[carrier]", "[extra]\n[carrier]"); }, "行 10", "[extra] という節はありません"},
        {"unknown tracking rule", [] { return edited("tracking = mod7", "tracking = luhn"); }, "tracking", "規則「luhn」はありません"},
        {"tracking digits", [] { return edited("tracking_digits = 12", "tracking_digits = 1"); }, "tracking_digits", "2 から 20 まで"},
        {"too large", [&big] { return big; }, "", "ファイルが大きすぎます"},
        {"word for number", [] { return edited("add1 = 10, 180, 80,", "add1 = 10, 180, eighty,"); }, "add1", "「eighty」は整数ではありません"},
        {"fraction", [] { return edited("width = 1280", "width = 1280.5"); }, "width", "整数ではありません"},
        {"ten digits", [] { return edited("de1 = 10,", "de1 = 1000000000,"); }, "de1", "整数ではありません"},
        {"four numbers", [] { return edited("add2 = 10, 180, 140, 560, 240", "add2 = 10, 180, 140, 560"); }, "add2", "5つか6つ"},
        {"page too large", [] { return edited("width = 1280", "width = 9000"); }, "width", "1 から 2720 まで"},
        {"page length short", [] { return edited("page_length = 640", "page_length = 600"); }, "page_length", "用紙の高さから"},
        {"name too long", [] { return edited("name = ペリカン便 送り状", "name = " + std::string(121, 'x')); }, "name", "120 バイトまで"},
        {"no carrier", [] { return edited("name = 日本通運\n", ""); }, "carrier", "運送会社の名前"},
        {"no width", [] { return edited("width = 1280\n", ""); }, "width", "width がありません"},
        {"not UTF-8", [] { return edited("method = ペリカン便", "method = \x83\x79\x83\x8a"); }, "行 12", "UTF-8"},
        {"no equals", [] { return edited("[items]\n", "[items]\nzip1 14 190\n"); }, "行 17", "「キー = 値」"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<FormProblem> problems = problemsOf(c.text());
        const bool named = std::any_of(problems.begin(), problems.end(), [&](const FormProblem& p) {
            return p.item == c.item && p.message.find(c.message) != std::string::npos;
        });
        EXPECT_TRUE(named) << describe(problems);
    }
}

// A base folder with a bundled and a user forms folder.
class FormLibraryTest : public ::testing::Test {
protected:
    ScratchFolder root;
    std::string bundled = root.file("bundled"), base = root.file("base");
    void SetUp() override {
        ::mkdir(bundled.c_str(), 0700);
        ::mkdir(base.c_str(), 0700);
        ::mkdir(print::userFormFolder(base).c_str(), 0700);
    }
    void userForm(const std::string& id, const std::string& text) const {
        spit(print::userFormFolder(base) + "/" + id + ".form", text);
    }
};

TEST_F(FormLibraryTest, BundledFileThatCannotBeUsedGivesANoticeAndTheCompiledForm) {
    struct Case { const char* what; std::optional<std::string> text; std::string notice; };
    const Case cases[] = {
        {"good", print::formText(print::builtinForm()), ""},
        {"missing", std::nullopt, "が見つかりません。組み込みの用紙を使います"},
        {"damaged", std::string("\x00\x01garbage", 9), "を使えません (行 1: 「キー = 値」の形ではありません ほか"},
        {"fails its check", edited("add1 = 10,", "add1 = 40,"), "を使えません (add1: 文字 40 pt が枠の高さ 60 に収まりません)"},
        {"too large", std::string(print::kMaxFormFileBytes + 1, '#'), "ファイルが大きすぎます"},
    };
    const std::string file = bundled + "/pelican.form";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::unlink(file.c_str());
        if (c.text) spit(file, *c.text);
        const print::FormLibrary lib = print::FormLibrary::load(base, bundled);
        EXPECT_TRUE(lib.builtin() == print::builtinForm());
        EXPECT_EQ(lib.find("pelican"), &lib.builtin());
        ASSERT_FALSE(lib.entries().empty());
        if (c.notice.empty()) {
            EXPECT_TRUE(lib.notices().empty());
            EXPECT_EQ(lib.entries().front().path, file);
        } else {
            ASSERT_EQ(lib.notices().size(), 1u);
            EXPECT_NE(lib.notices().front().find(c.notice), std::string::npos) << lib.notices().front();
            EXPECT_EQ(lib.entries().front().path, "");
        }
    }
}

TEST_F(FormLibraryTest, UserFormsAreListedAndOnlySoundOnesFound) {
    spit(bundled + "/pelican.form", print::formText(print::builtinForm()));
    userForm("mine", edited("name = ペリカン便 送り状", "name = 発払い"));
    userForm("broken", edited("g1 = 10, 810, 160, 1280,", "g1 = 10, 810, 160, 1300,"));
    userForm("pelican", print::formText(print::builtinForm()));  // may not stand in for the bundled form
    spit(print::userFormFolder(base) + "/notes.txt", "not a form");
    const print::FormLibrary lib = print::FormLibrary::load(base, bundled);
    EXPECT_TRUE(lib.notices().empty());
    std::vector<std::string> ids;
    for (const print::FormEntry& e : lib.entries()) ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"pelican", "broken", "mine", "pelican"}));
    ASSERT_NE(lib.find("mine"), nullptr);
    EXPECT_EQ(lib.find("mine")->name, "発払い");
    EXPECT_EQ(lib.find("mine")->id, "mine");
    EXPECT_EQ(lib.find("broken"), nullptr);
    EXPECT_EQ(lib.entries()[1].problems.front().item, "g1");
    const print::FormEntry& refused = lib.entries()[3];
    EXPECT_FALSE(refused.form);
    ASSERT_FALSE(refused.problems.empty());
    EXPECT_NE(refused.problems.front().message.find("同じ名前"), std::string::npos);
    EXPECT_EQ(lib.find("pelican"), &*lib.entries()[0].form);
}
