// vCard import and export: cards as address books write them, merged into
// Bookmark.ini without losing a number.
#include "phonebook/VCard.h"

#include "phonebook/Phonebook.h"
#include "tests/support/ProfileWriteFault.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

// "name | H:number O:number M:number *:number" per card.
std::vector<std::string> Describe(const std::string &vcf)
{
    std::vector<std::string> out;
    for (const VCardContact &card : ParseVCards(vcf)) {
        std::string line = card.name + " |";
        for (const VCardContact::Number &number : card.numbers)
            line += std::string(" ") + "*HOM"[static_cast<int>(number.slot)] + ":" + number.digits;
        for (const std::string &text : card.unusable)
            line += " ?" + text;
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(VCard, ReadsCardsAsAddressBooksWriteThem)
{
    const struct {
        const char *writer, *vcf;
        std::vector<std::string> cards;
    } cases[] = {
        {"GNOME Contacts, 4.0",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\n"
         "FN:Jürgen Weiß\r\nN:Weiß;Jürgen;;;\r\nTEL;TYPE=cell:+49 171 5550123\r\n"
         "TEL;TYPE=\"home,voice\":030 5550100\r\nEMAIL;TYPE=home:jw@example.org\r\nEND:VCARD\r\n",
         {"Jürgen Weiß | M:+491715550123 H:0305550100"}},
        {"Thunderbird, 4.0 with tel: URIs",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Lopez;Maria;;Dr.;\r\n"
         "TEL;TYPE=work;VALUE=TEXT:0305550100\r\n"
         "TEL;VALUE=uri;TYPE=cell:tel:+49-160-555-0111;ext=12\r\nEND:VCARD\r\n",
         {"Dr. Maria Lopez | O:0305550100 M:+491605550111"}},
        {"Thunderbird, 3.0, folded, grouped, escaped",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hohenberg;Margarethe\r\nFN:Margarethe von\r\n  Hohen"
         "berg\\, Jr.\r\nTEL;TYPE=WORK,VOICE:089 5550147\r\nitem1.TEL;type=HOME:(089) 555-01\r\n"
         " 48\r\nTEL;TYPE=FAX:089 5550149\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\nVERSION:3.0\nORG:Pizzeria Roma;Lieferdienst\nTEL:+49 (0)30 5550177\n"
         "TEL:555-1234 x56\nEND:VCARD\n",
         {"Margarethe von Hohenberg, Jr. | O:0895550147 H:0895550148",
          "Pizzeria Roma | *:+49305550177 ?555-1234 x56"}},
        {"Android, 2.1 quoted-printable",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3="
         "B6rg;;;\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=B6rg M=C3=BC=\r\nller\r\n"
         "TEL;CELL:+49 160 5550199\r\nTEL;HOME;VOICE:0221-5550123\r\nTEL;WORK;FAX:0221-5550124\r\n"
         "AGENT:\r\nBEGIN:VCARD\r\nFN:Agent\r\nTEL:1\r\nEND:VCARD\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:;Ren=E9e\r\n"
         "TEL;PREF:0711 5550100\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nTEL:0800 1",
         {"Jörg Müller | M:+491605550199 H:02215550123", "Renée | *:07115550100", " | *:08001"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Describe(c.vcf), c.cards) << c.writer;
}

class VCardImport : public ::testing::Test {
protected:
    std::optional<VCardImportReport> Import(const std::string &vcf)
    {
        TempDir::Write(dir.File("in.vcf"), vcf);
        return ImportVCardFile(dir.File("in.vcf"), book, &error);
    }
    std::string Number(const std::string &name, const char *key)
    {
        file.SetPathName(book.c_str());
        return file.GetString(name.c_str(), key, "");
    }

    TempDir dir;
    std::string book = BookmarkPathFor(dir.Path());
    CIniFile file;
    std::string error;
};

TEST_F(VCardImport, AddsNewNamesFillsEmptyNumbersNeverOverwrites)
{
    TempDir::Write(book, "; mine\n[Anna Berger]\nPhone_Home=02215550123\nPhone_Office=\n"
                         "Phone_Mobile=01715550199\n[Jonas Keller]\nPhone_Home=1\nPhone_Office=2\n"
                         "Phone_Mobile=3");
    std::optional<VCardImportReport> report;
    const int writes = ProfileReplacements([&] {
        report = Import("BEGIN:VCARD\nVERSION:3.0\nFN:anna berger\nTEL;TYPE=HOME:0221 5550999\n"
                        "TEL;TYPE=WORK:0221 5550200\nTEL;TYPE=CELL:0171 5550199\nEND:VCARD\n"
                        "BEGIN:VCARD\nVERSION:3.0\nFN:Jonas Keller\nTEL:4\nEND:VCARD\n"
                        "BEGIN:VCARD\nVERSION:3.0\nFN:Clara Neumann\nTEL;TYPE=CELL:0176 1\n"
                        "END:VCARD\nBEGIN:VCARD\nVERSION:3.0\nFN:Clara Neumann\nTEL:0302\n"
                        "END:VCARD\nBEGIN:VCARD\nVERSION:3.0\nFN:No Number\nEND:VCARD\n");
    });
    ASSERT_TRUE(report) << error;
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(report->added, std::vector<std::string>{"Clara Neumann"});
    EXPECT_EQ(report->filled, std::vector<std::string>{"Anna Berger"});
    EXPECT_EQ(report->skipped, (std::vector<std::string>{
                                   "Anna Berger (three numbers already; 02215550999 not added)",
                                   "Jonas Keller (three numbers already; 4 not added)",
                                   "No Number (no phone number)"}));
    EXPECT_EQ(Number("Anna Berger", "Phone_Home"), "02215550123");
    EXPECT_EQ(Number("Anna Berger", "Phone_Office"), "02215550200");
    EXPECT_EQ(Number("Jonas Keller", "Phone_Mobile"), "3");
    EXPECT_EQ(Number("Clara Neumann", "Phone_Home"), "0302");
    EXPECT_EQ(Number("Clara Neumann", "Phone_Mobile"), "01761");
    EXPECT_EQ(TempDir::Read(book).substr(0, 21), "; mine\n[Anna Berger]\n");
}

TEST_F(VCardImport, ExportThenImportGivesThePhonebookBack)
{
    const std::string sample = "[Anna Berger]\nPhone_Home=02215550123\nPhone_Office=\n"
                               "Phone_Mobile=01715550199\n[Dr. Maria Lopez, Ph.D.; Köln]\n"
                               "Phone_Home=0305550178\nPhone_Office=0305550100\nPhone_Mobile=\n"
                               "[Nobody]\nPhone_Home=\n";
    TempDir::Write(book, sample);
    ASSERT_TRUE(ExportVCardFile(book, dir.File("out.vcf"), &error)) << error;
    // Read again into the same phonebook, nothing changes.
    int writes = ProfileReplacements(
        [&] { EXPECT_TRUE(ImportVCardFile(dir.File("out.vcf"), book, &error)) << error; });
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(TempDir::Read(book), sample);

    book = dir.File("fresh.ini");
    const auto report = ImportVCardFile(dir.File("out.vcf"), book, &error);
    ASSERT_TRUE(report) << error;
    EXPECT_EQ(report->added,
              (std::vector<std::string>{"Anna Berger", "Dr. Maria Lopez, Ph.D.; Köln"}));
    EXPECT_EQ(TempDir::Read(book), sample.substr(0, sample.find("[Nobody]")));
}

TEST_F(VCardImport, FailuresSayWhichFileAndWhy)
{
    EXPECT_FALSE(ImportVCardFile(dir.File("missing.vcf"), book, &error));
    EXPECT_NE(error.find("missing.vcf"), std::string::npos) << error;
    EXPECT_FALSE(Import("not a vCard"));
    TempDir::Write(book, "[Anna Berger]\nPhone_Home=1\n");
    chmod(book.c_str(), 0444);
    EXPECT_FALSE(Import("BEGIN:VCARD\nFN:Clara\nTEL:2\nEND:VCARD\n"));
    EXPECT_NE(error.find("Bookmark.ini"), std::string::npos) << error;
    EXPECT_FALSE(ExportVCardFile(book, dir.File("no/such/folder.vcf"), &error));
    EXPECT_NE(error.find("folder.vcf"), std::string::npos) << error;
}
