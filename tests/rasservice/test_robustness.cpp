// Error texts, and bad input of every kind answered with a code instead of a crash.
#include "ras_fixture.h"

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
    pump_for(100);
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
