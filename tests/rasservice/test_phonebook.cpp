// Phonebook entries and the dial parameters stored with them.
#include "ras_fixture.h"

#include "ras_api.h"

#include <cstring>

namespace {

struct Listing {
    DWORD rc, cb, count;
    std::vector<std::string> names;
};

}  // namespace

class Phonebook : public RasTest {
protected:
    // Enumerates as the dial-up component does: 100 records, only the first size field set.
    Listing list(LPCSTR phonebook, size_t records = 100) {
        std::vector<RASENTRYNAMEA> buf(records);
        std::memset(buf.data(), 0, buf.size() * sizeof(RASENTRYNAMEA));
        if (!buf.empty()) buf[0].dwSize = sizeof(RASENTRYNAMEA);
        Listing l{};
        l.cb = DWORD(buf.size() * sizeof(RASENTRYNAMEA));
        l.rc = RasEnumEntriesA(nullptr, phonebook, buf.empty() ? nullptr : buf.data(), &l.cb, &l.count);
        if (l.rc == 0) {
            for (DWORD i = 0; i < l.count; ++i) EXPECT_EQ(buf[i].dwSize, sizeof(RASENTRYNAMEA));
            l.names = entry_names(buf, l.count);
        }
        return l;
    }

    std::string many(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += section("Entry " + std::to_string(i), {"PhoneNumber=555"});
        return s;
    }

    DWORD get_params(const std::string& pbk, const std::string& entry, RASDIALPARAMSA& p, BOOL& saved) {
        std::memset(&p, 0, sizeof p);
        p.dwSize = sizeof p;
        std::strcpy(p.szEntryName, entry.c_str());
        // Poison the outputs so that what the service leaves untouched shows.
        std::strcpy(p.szPassword, "stale");
        saved = 2;
        return RasGetEntryDialParamsA(pbk.c_str(), &p, &saved);
    }
};

TEST_F(Phonebook, ListsValidEntriesOnceInFileOrder) {
    std::string longest(256, 'L'), too_long(257, 'X');
    std::string pbk = write_file("a.pbk", "; a person's comment\r\n" + section("Office", {"PhoneNumber=1"}) +
                                              section("home isp") + section(too_long) + section(longest) +
                                              section("OFFICE", {"PhoneNumber=2"}) + section("") +
                                              "[Last Entry]\n" "PhoneNumber=3\n");
    Listing l = list(pbk.c_str());
    ASSERT_EQ(l.rc, 0u);
    EXPECT_EQ(l.names, (std::vector<std::string>{"Office", "home isp", longest, "Last Entry"}));
}

TEST_F(Phonebook, HundredEntriesFitTheBufferAndOneMoreDoesNot) {
    Listing l = list(write_file("100.pbk", many(100)).c_str());
    ASSERT_EQ(l.rc, 0u);
    EXPECT_EQ(l.count, 100u);
    EXPECT_EQ(l.names.front(), "Entry 0");
    EXPECT_EQ(l.names.back(), "Entry 99");
    EXPECT_EQ(l.cb, 100u * 264u);

    l = list(write_file("101.pbk", many(101)).c_str());
    EXPECT_EQ(l.rc, ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(l.cb, 101u * 264u) << "the size that would be needed";
    EXPECT_EQ(l.count, 101u);

    // A size query with no buffer at all.
    DWORD cb = 0, count = 0;
    EXPECT_EQ(RasEnumEntriesA(nullptr, write_file("3.pbk", many(3)).c_str(), nullptr, &cb, &count),
              ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(cb, 3u * 264u);
}

TEST_F(Phonebook, EmptyMissingAndUnreadablePhonebooks) {
    Listing l = list(write_file("empty.pbk", "").c_str());
    EXPECT_EQ(l.rc, 0u);
    EXPECT_EQ(l.count, 0u);

    EXPECT_EQ(list((dir() + "\\missing.pbk").c_str()).rc, ERROR_CANNOT_OPEN_PHONEBOOK);
    EXPECT_EQ(list(dir().c_str()).rc, ERROR_CANNOT_OPEN_PHONEBOOK) << "a folder is no phonebook";
    EXPECT_EQ(list("").rc, ERROR_CANNOT_OPEN_PHONEBOOK) << "an empty path names no file";

    // Binary junk is not a phonebook, but reading it must neither crash nor invent entries.
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += char((i * 37) & 0xFF);
    l = list(write_file("junk.pbk", junk).c_str());
    EXPECT_EQ(l.rc, 0u);
}

TEST_F(Phonebook, NoPhonebookArgumentMeansTheDefaultOne) {
    std::string pbk = write_file("default.pbk", section("Default Entry"));
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());
    Listing l = list(nullptr);
    EXPECT_EQ(l.rc, 0u);
    EXPECT_EQ(l.names, std::vector<std::string>{"Default Entry"});

    // A user without a phonebook yet simply has no entries.
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", (dir() + "\\none.pbk").c_str());
    l = list(nullptr);
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", nullptr);
    EXPECT_EQ(l.rc, 0u);
    EXPECT_EQ(l.count, 0u);
}

TEST_F(Phonebook, LaterRecordLayoutIsFilledAtItsOwnStride) {
    constexpr DWORD kSize = 532;  // with flags and the phonebook's path
    std::string pbk = write_file("b.pbk", section("One") + section("Two"));
    std::vector<BYTE> buf(kSize * 4);
    *reinterpret_cast<DWORD*>(buf.data()) = kSize;
    DWORD cb = DWORD(buf.size()), count = 0;
    ASSERT_EQ(RasEnumEntriesA(nullptr, pbk.c_str(), reinterpret_cast<LPRASENTRYNAMEA>(buf.data()), &cb, &count), 0u);
    ASSERT_EQ(count, 2u);
    const BYTE* second = buf.data() + kSize;
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(second), kSize);
    EXPECT_STREQ(reinterpret_cast<const char*>(second + 4), "Two");
    EXPECT_STREQ(reinterpret_cast<const char*>(second + 268), pbk.c_str());
}

TEST_F(Phonebook, StoredDialParametersFollowTheSavedPasswordFlag) {
    std::string pbk = write_file("p.pbk",
        section("Saved", {"UserName=alice", "Password=open sesame", "SavePassword=1", "Domain=WORK",
                          "CallbackNumber=555-0199"}) +
        section("Unsaved", {"UserName=bob", "Password=left over", "SavePassword=0"}) +
        section("Leaky", {"UserName=carol", "Password=visible", "ReturnUnsavedPassword=1"}));
    RASDIALPARAMSA p;
    BOOL saved;
    ASSERT_EQ(get_params(pbk, "saved", p, saved), 0u) << "names match in any case";
    EXPECT_STREQ(p.szUserName, "alice");
    EXPECT_STREQ(p.szPassword, "open sesame");
    EXPECT_STREQ(p.szDomain, "WORK");
    EXPECT_STREQ(p.szCallbackNumber, "555-0199");
    EXPECT_STREQ(p.szEntryName, "saved");
    EXPECT_EQ(saved, TRUE);

    ASSERT_EQ(get_params(pbk, "Unsaved", p, saved), 0u);
    EXPECT_STREQ(p.szUserName, "bob");
    EXPECT_STREQ(p.szPassword, "");
    EXPECT_EQ(saved, FALSE);

    // The knob that lets a client's own saved-password rule be tested.
    ASSERT_EQ(get_params(pbk, "Leaky", p, saved), 0u);
    EXPECT_STREQ(p.szPassword, "visible");
    EXPECT_EQ(saved, FALSE);

    EXPECT_EQ(get_params(pbk, "Nobody", p, saved), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
}

TEST_F(Phonebook, SetDialParametersPersistsAndKeepsTheRestOfTheFile) {
    std::string pbk = write_file("s.pbk", "; keep me\r\n" + section("Work", {"PhoneNumber=555-0100", "Custom=42"}) +
                                              section("Other", {"PhoneNumber=555-0111"}));
    RASDIALPARAMSA p{};
    p.dwSize = sizeof p;
    std::strcpy(p.szEntryName, "Work");
    std::strcpy(p.szUserName, "dave");
    std::strcpy(p.szPassword, "s3cret");
    std::strcpy(p.szDomain, "CORP");
    ASSERT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, FALSE), 0u);

    RASDIALPARAMSA back;
    BOOL saved;
    ASSERT_EQ(get_params(pbk, "Work", back, saved), 0u);
    EXPECT_STREQ(back.szUserName, "dave");
    EXPECT_STREQ(back.szPassword, "s3cret");
    EXPECT_STREQ(back.szDomain, "CORP");
    EXPECT_EQ(saved, TRUE);
    std::string text = read_file(pbk);
    EXPECT_NE(text.find("; keep me"), std::string::npos);
    EXPECT_NE(text.find("Custom=42"), std::string::npos);
    EXPECT_NE(text.find("PhoneNumber=555-0111"), std::string::npos);

    ASSERT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, TRUE), 0u);
    ASSERT_EQ(get_params(pbk, "Work", back, saved), 0u);
    EXPECT_STREQ(back.szPassword, "");
    EXPECT_EQ(saved, FALSE);
    EXPECT_EQ(read_file(pbk).find("s3cret"), std::string::npos) << "a removed password leaves the file";

    // A line break would smuggle keys into the file.
    std::strcpy(p.szUserName, "eve\r\nFault=busy");
    std::string before = read_file(pbk);
    EXPECT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, FALSE), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(read_file(pbk), before);

    std::strcpy(p.szEntryName, "Nobody");
    std::strcpy(p.szUserName, "x");
    EXPECT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, FALSE), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
}

TEST_F(Phonebook, RenameDeleteAndValidateEntries) {
    std::string pbk = write_file("r.pbk", section("Alpha", {"PhoneNumber=1"}) + section("Beta"));
    const char* b = pbk.c_str();
    EXPECT_EQ(RasValidateEntryNameA(b, "Gamma"), 0u);
    EXPECT_EQ(RasValidateEntryNameA(b, "alpha"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(RasValidateEntryNameA(b, ".hidden"), ERROR_INVALID_NAME);
    EXPECT_EQ(RasValidateEntryNameA(b, "   "), ERROR_INVALID_NAME);
    EXPECT_EQ(RasValidateEntryNameA(b, std::string(257, 'n').c_str()), ERROR_INVALID_NAME);
    EXPECT_EQ(RasValidateEntryNameA((dir() + "\\new.pbk").c_str(), "Gamma"), 0u);

    EXPECT_EQ(RasRenameEntryA(b, "Alpha", "Beta"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(RasRenameEntryA(b, "Nobody", "Gamma"), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(RasRenameEntryA(b, "Alpha", "bad\nname"), ERROR_INVALID_NAME);
    ASSERT_EQ(RasRenameEntryA(b, "Alpha", "Gamma"), 0u);
    EXPECT_EQ(list(b).names, (std::vector<std::string>{"Gamma", "Beta"}));
    EXPECT_NE(read_file(pbk).find("PhoneNumber=1"), std::string::npos) << "keys move with the entry";

    ASSERT_EQ(RasDeleteEntryA(b, "GAMMA"), 0u);
    EXPECT_EQ(list(b).names, std::vector<std::string>{"Beta"});
    EXPECT_EQ(read_file(pbk).find("PhoneNumber=1"), std::string::npos);
    EXPECT_EQ(RasDeleteEntryA(b, "Gamma"), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
}
