// Error texts, and bad input of every kind answered with a code instead of a crash.
#include "ras_fixture.h"

#include <algorithm>
#include <cstring>

class Robustness : public RasTest {};

TEST_F(Robustness, EveryCodeTheServiceProducesHasAText) {
    for (DWORD code : std::initializer_list<DWORD>{ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_CALL_NOT_IMPLEMENTED,
                       ERROR_INVALID_NAME, ERROR_ALREADY_EXISTS, ERROR_BUFFER_TOO_SMALL, ERROR_BUFFER_INVALID,
                       ERROR_CANNOT_OPEN_PHONEBOOK, ERROR_CANNOT_LOAD_PHONEBOOK,
                       ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, ERROR_CANNOT_WRITE_PHONEBOOK, ERROR_INVALID_SIZE,
                       ERROR_PORT_NOT_AVAILABLE, ERROR_UNKNOWN, ERROR_USER_DISCONNECTION, ERROR_LINE_BUSY,
                       ERROR_NO_ANSWER, ERROR_AUTHENTICATION_FAILURE, ERROR_PORT_OR_DEVICE,
                       ERROR_HARDWARE_FAILURE}) {
        std::string text = error_string(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_LT(text.size(), 256u) << code;
    }
    EXPECT_EQ(error_string(ERROR_LINE_BUSY), "The line is busy.");
}

TEST_F(Robustness, ErrorStringRefusalsLeaveNoText) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(RasGetErrorStringA(12345, text, sizeof text), DWORD(ERROR_UNKNOWN)) << "unknown code";
    EXPECT_EQ(text[0], '\0') << "so a caller falls back to the system's text";

    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(RasGetErrorStringA(ERROR_AUTHENTICATION_FAILURE, text, 8), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(text[8], 'x') << "nothing written past the given size";
    EXPECT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, text, 0), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, nullptr, 256), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Robustness, NullPointersAreAnsweredWithCodes) {
    std::string pbk = write_file("n.pbk", section("Line"));
    const char* b = pbk.c_str();
    DWORD cb = 264, count = 0;
    RASENTRYNAMEA name{};
    name.dwSize = sizeof name;
    EXPECT_EQ(RasEnumEntriesA(nullptr, b, &name, nullptr, &count), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasEnumEntriesA(nullptr, b, &name, &cb, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasEnumEntriesA(nullptr, b, nullptr, &cb, &count), ERROR_BUFFER_INVALID);

    RASDIALPARAMSA p{};
    p.dwSize = sizeof p;
    std::strcpy(p.szEntryName, "Line");
    BOOL saved;
    HRASCONN h = nullptr;
    EXPECT_EQ(RasGetEntryDialParamsA(b, nullptr, &saved), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasGetEntryDialParamsA(b, &p, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasSetEntryDialParamsA(b, nullptr, FALSE), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasDialA(nullptr, b, nullptr, RAS_NOTIFIER_HWND, nullptr, &h), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasDialA(nullptr, b, &p, RAS_NOTIFIER_HWND, nullptr, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasGetConnectStatusA(nullptr, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasEnumConnectionsA(nullptr, nullptr, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasValidateEntryNameA(b, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasRenameEntryA(b, nullptr, "x"), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasDeleteEntryA(b, nullptr), DWORD(ERROR_INVALID_PARAMETER));

    // Handles the service never gave out.
    RASCONNSTATUSA st{};
    st.dwSize = sizeof st;
    EXPECT_EQ(RasGetConnectStatusA(nullptr, &st), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RasGetConnectStatusA(reinterpret_cast<HRASCONN>(0xDEADBEEF), &st), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RasHangUpA(reinterpret_cast<HRASCONN>(0xDEADBEEF)), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(Robustness, OnlyThePublishedRecordSizesAreAccepted) {
    std::string pbk = write_file("z.pbk", section("Line", {"PhoneNumber=555-0123", "HangUpDelayMs=0"}));
    NotifyWindow w;
    HRASCONN h;
    ASSERT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);

    for (DWORD size : {0u, 263u, 265u, 4u}) {
        std::vector<BYTE> buf(1024);
        *reinterpret_cast<DWORD*>(buf.data()) = size;
        DWORD cb = DWORD(buf.size()), count = 0;
        EXPECT_EQ(RasEnumEntriesA(nullptr, pbk.c_str(), reinterpret_cast<LPRASENTRYNAMEA>(buf.data()), &cb, &count),
                  ERROR_INVALID_SIZE) << size;
    }
    for (DWORD size : {0u, 1051u, 1053u}) {
        RASDIALPARAMSA p{};
        p.dwSize = size;
        std::strcpy(p.szEntryName, "Line");
        BOOL saved;
        HRASCONN other = nullptr;
        EXPECT_EQ(RasGetEntryDialParamsA(pbk.c_str(), &p, &saved), ERROR_INVALID_SIZE) << size;
        EXPECT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, FALSE), ERROR_INVALID_SIZE) << size;
        EXPECT_EQ(RasDialA(nullptr, pbk.c_str(), &p, RAS_NOTIFIER_HWND, w.hwnd(), &other), ERROR_INVALID_SIZE) << size;
    }
    for (DWORD size : {0u, 159u, 161u}) {
        RASCONNSTATUSA st{};
        st.dwSize = size;
        EXPECT_EQ(RasGetConnectStatusA(h, &st), ERROR_INVALID_SIZE) << size;
    }
    // The later status layout gains the phone number.
    std::vector<BYTE> big(288);
    *reinterpret_cast<DWORD*>(big.data()) = 288;
    ASSERT_EQ(RasGetConnectStatusA(h, reinterpret_cast<LPRASCONNSTATUSA>(big.data())), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(big.data() + 158), "555-0123");
}

TEST_F(Robustness, FieldsWithoutTerminatorsAndOverlongArguments) {
    std::string pbk = write_file("o.pbk", section("Line"));
    RASDIALPARAMSA p;
    std::memset(&p, 'A', sizeof p);
    p.dwSize = sizeof p;
    BOOL saved;
    EXPECT_EQ(RasGetEntryDialParamsA(pbk.c_str(), &p, &saved), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(RasSetEntryDialParamsA(pbk.c_str(), &p, FALSE), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    NotifyWindow w;
    HRASCONN h = nullptr;
    EXPECT_EQ(RasDialA(nullptr, pbk.c_str(), &p, RAS_NOTIFIER_HWND, w.hwnd(), &h), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);

    std::string long_path(5000, 'p');
    RASENTRYNAMEA names[2] = {};
    names[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD cb = sizeof names, count = 0;
    EXPECT_EQ(RasEnumEntriesA(nullptr, long_path.c_str(), names, &cb, &count), ERROR_CANNOT_OPEN_PHONEBOOK);
    std::string long_name(100000, 'n');
    EXPECT_EQ(RasValidateEntryNameA(pbk.c_str(), long_name.c_str()), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(RasDeleteEntryA(pbk.c_str(), long_name.c_str()), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);

    // Stored values longer than their fields are cut, never written past them.
    std::string huge(1000, 'u');
    write_file("o.pbk", section("Line", {"UserName=" + huge, "Domain=" + huge, "Password=" + huge, "SavePassword=1"}));
    std::memset(&p, 0, sizeof p);
    p.dwSize = sizeof p;
    std::strcpy(p.szEntryName, "Line");
    ASSERT_EQ(RasGetEntryDialParamsA(pbk.c_str(), &p, &saved), 0u);
    EXPECT_EQ(std::strlen(p.szUserName), size_t(RAS_MaxUserName));
    EXPECT_EQ(std::strlen(p.szDomain), size_t(RAS_MaxDomain));
    EXPECT_EQ(std::strlen(p.szPassword), size_t(RAS_MaxPassword));
}

TEST_F(Robustness, BadNotifiersAndSettingsAreRefusedOrIgnored) {
    std::string pbk = write_file("Line.pbk", section("Line", {"StepDelayMs=soon", "HangUpDelayMs=0",
                                                              "Fault=gremlins", "DropAfterMs=99999999999"}));
    RASDIALPARAMSA p{};
    p.dwSize = sizeof p;
    std::strcpy(p.szEntryName, "Line");
    HRASCONN h = nullptr;
    EXPECT_EQ(RasDialA(nullptr, pbk.c_str(), &p, 7, nullptr, &h), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasDialA(nullptr, pbk.c_str(), &p, RAS_NOTIFIER_HWND, reinterpret_cast<HWND>(0x1234), &h),
              DWORD(ERROR_INVALID_PARAMETER)) << "not a window";

    NotifyWindow w;
    ASSERT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);
    PumpFor(100);
    EXPECT_EQ(w.events().size(), 1u) << "bad values leave the built-in pace";
    std::string log = read_file(dir() + "\\Line.log");
    EXPECT_NE(log.find("StepDelayMs=soon ignored"), std::string::npos) << log;
    EXPECT_NE(log.find("Fault=gremlins ignored"), std::string::npos) << log;
}

TEST_F(Robustness, EveryEntryPointAClientBindsIsExported) {
    for (const char* name : {"RasDialA", "RasEnumConnectionsA", "RasEnumEntriesA", "RasGetConnectStatusA",
                             "RasGetErrorStringA", "RasHangUpA", "RasGetEntryDialParamsA", "RasSetEntryDialParamsA",
                             "RasMonitorDlgA", "RasEditPhonebookEntryA", "RasCreatePhonebookEntryA",
                             "RasGetProjectionInfoA", "RasGetCountryInfoA", "RasGetEntryPropertiesA",
                             "RasSetEntryPropertiesA", "RasRenameEntryA", "RasDeleteEntryA",
                             "RasValidateEntryNameA", "RasEnumDevicesA"})
        EXPECT_NE(GetProcAddress(lib_, name), nullptr) << name;
}

// ---------------------------------------------------------------- bad phonebooks

namespace {

struct Listed {
    DWORD rc = 0, count = 0;
    std::vector<std::string> names;
};

}  // namespace

class BadPhonebooks : public RasTest {
protected:
    // As the dial-up component asks: 100 records, the first size field set.
    Listed list(const std::string& pbk) {
        std::vector<RASENTRYNAMEA> buf(100);
        std::memset(buf.data(), 0, buf.size() * sizeof(RASENTRYNAMEA));
        buf[0].dwSize = sizeof(RASENTRYNAMEA);
        DWORD cb = DWORD(buf.size() * sizeof(RASENTRYNAMEA));
        Listed l;
        l.rc = RasEnumEntriesA(nullptr, pbk.c_str(), buf.data(), &cb, &l.count);
        if (l.rc == 0) l.names = entry_names(buf, l.count);
        return l;
    }
    DWORD params(const std::string& pbk, const std::string& entry, RASDIALPARAMSA& p) {
        std::memset(&p, 0, sizeof p);
        p.dwSize = sizeof p;
        std::strncpy(p.szEntryName, entry.c_str(), RAS_MaxEntryName);
        BOOL saved = FALSE;
        return RasGetEntryDialParamsA(pbk.c_str(), &p, &saved);
    }
    // Every listed name is a valid one, and the service finds each again by it.
    void expect_clean(const std::string& pbk, const Listed& l, const char* what) {
        for (const std::string& n : l.names) {
            EXPECT_TRUE(!n.empty() && n.size() <= 256 && n.front() != '.') << what << ": " << n;
            EXPECT_TRUE(std::none_of(n.begin(), n.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; }))
                << what;
            RASDIALPARAMSA p;
            EXPECT_EQ(params(pbk, n, p), 0u) << what << ": " << n;
        }
    }
};

TEST_F(BadPhonebooks, OverlongNamesAreNoEntriesAndOverlongValuesAreCutToTheirFields) {
    const std::string huge(1 << 20, 'v');
    std::string pbk = write_file("long.pbk", section(std::string(100000, 'N'), {"UserName=x"}) +
                                                 section(std::string(257, 'X')) +
                                                 section("Line", {"UserName=" + huge, "CallbackNumber=" + huge,
                                                                  "Domain=" + huge, "PhoneNumber=" + huge,
                                                                  "HangUpDelayMs=0", huge + "=key too long"}));
    Listed l = list(pbk);
    ASSERT_EQ(l.rc, 0u);
    EXPECT_EQ(l.names, std::vector<std::string>{"Line"});
    RASDIALPARAMSA p;
    ASSERT_EQ(params(pbk, "Line", p), 0u);
    EXPECT_EQ(std::strlen(p.szUserName), size_t(RAS_MaxUserName));
    EXPECT_EQ(std::strlen(p.szCallbackNumber), size_t(RAS_MaxCallbackNumber));
    EXPECT_EQ(std::strlen(p.szDomain), size_t(RAS_MaxDomain));
    NotifyWindow w;
    HRASCONN h = nullptr;
    EXPECT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u) << "the entry's own number, cut, is dialled";
    RASCONNSTATUSA st{};
    st.dwSize = sizeof st;
    EXPECT_EQ(RasGetConnectStatusA(h, &st), 0u);
}

TEST_F(BadPhonebooks, RepeatedSectionsListOnceAndTheFirstOneServes) {
    std::string pbk = write_file("dup.pbk", section("Home", {"UserName=first", "UserName=second"}) +
                                                section("HOME", {"UserName=third", "Domain=LATE"}) +
                                                section("home") + section("Other"));
    Listed l = list(pbk);
    ASSERT_EQ(l.rc, 0u);
    EXPECT_EQ(l.names, (std::vector<std::string>{"Home", "Other"}));
    RASDIALPARAMSA p;
    ASSERT_EQ(params(pbk, "hOmE", p), 0u);
    EXPECT_STREQ(p.szUserName, "first");
    EXPECT_STREQ(p.szDomain, "") << "nothing of the later sections";
}

TEST_F(BadPhonebooks, MoreThanAHundredEntriesAreTooManyForTheCallersBufferAtAnySize) {
    std::string text;
    for (int i = 0; i < 150; ++i) {
        const std::string number = std::to_string(i);
        text += "[E";
        text += number;
        text += "]\n[e";
        text += number;
        text += "]\n";
    }
    Listed l = list(write_file("150.pbk", text));
    EXPECT_EQ(l.rc, ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(l.count, 150u) << "repeats are not counted";

    // The largest phonebook the service reads, a million sections: answered in moments.
    std::string big;
    big.reserve(8u << 20);
    int n = 0;
    while (big.size() < (8u << 20) - 16) {
        big += '[';
        big += std::to_string(n++);
        big += "]\n";
    }
    std::string pbk = write_file("big.pbk", big);
    const ULONGLONG t0 = GetTickCount64();
    l = list(pbk);
    EXPECT_EQ(l.rc, ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(l.count, DWORD(n));
    RASDIALPARAMSA p;
    EXPECT_EQ(params(pbk, std::to_string(n - 1), p), 0u);
    EXPECT_LT(GetTickCount64() - t0, 20000u) << n << " sections";
}

TEST_F(BadPhonebooks, BinaryGarbageListsOnlyNamesTheServiceFindsAgain) {
    // Bytes of every value, the INI characters among them, in lines of every ending.
    std::string junk;
    unsigned seed = 12345;
    const char specials[] = "[]=;#\r\n \t.";
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        unsigned r = (seed >> 16) & 0xFF;
        junk += r < 100 ? specials[r % (sizeof specials - 1)] : static_cast<char>(r);
    }
    for (const char* what : {"junk.pbk", "junk-with-entry.pbk"}) {
        std::string pbk = write_file(what, std::string(what) == "junk.pbk" ? junk : junk + "\n[Real]\nUserName=u\n");
        Listed l = list(pbk);
        if (l.rc == ERROR_BUFFER_TOO_SMALL) continue;
        ASSERT_EQ(l.rc, 0u) << what;
        expect_clean(pbk, l, what);
        if (std::string(what) != "junk.pbk") {
            ASSERT_FALSE(l.names.empty());
            EXPECT_EQ(l.names.back(), "Real");
        }
    }
    std::string nul = write_file("nul-bytes.pbk", std::string("[A\0B]\n[C]\nUserName=\0x\n", 22));
    Listed l = list(nul);
    ASSERT_EQ(l.rc, 0u);
    expect_clean(nul, l, "nul");
    EXPECT_EQ(l.names, std::vector<std::string>{"C"}) << "a NUL is a control character";
}

TEST_F(BadPhonebooks, AMissingUnreadableOrOversizedFileGivesThePlatformsCode) {
    EXPECT_EQ(list(dir() + "\\missing.pbk").rc, ERROR_CANNOT_OPEN_PHONEBOOK);
    EXPECT_EQ(list(dir() + "\\no\\such\\folder.pbk").rc, ERROR_CANNOT_OPEN_PHONEBOOK);
    EXPECT_EQ(list(dir()).rc, ERROR_CANNOT_OPEN_PHONEBOOK);

    std::string locked = write_file("locked.pbk", section("Line"));
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(list(locked).rc, ERROR_CANNOT_OPEN_PHONEBOOK) << "held by another without sharing";
    RASDIALPARAMSA p;
    EXPECT_EQ(params(locked, "Line", p), ERROR_CANNOT_OPEN_PHONEBOOK);
    NotifyWindow w;
    HRASCONN h = nullptr;
    EXPECT_EQ(dial(locked, "Line", w.hwnd(), h), ERROR_CANNOT_OPEN_PHONEBOOK);
    EXPECT_EQ(h, nullptr);
    CloseHandle(lock);
    EXPECT_EQ(list(locked).rc, 0u);

    std::string oversized = write_file("big.pbk", section("Line") + std::string((8u << 20) + 1, ';'));
    EXPECT_EQ(list(oversized).rc, ERROR_CANNOT_LOAD_PHONEBOOK);
    EXPECT_EQ(params(oversized, "Line", p), ERROR_CANNOT_LOAD_PHONEBOOK);
}
