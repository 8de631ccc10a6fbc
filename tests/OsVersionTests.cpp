#include <doctest/doctest.h>

#include "sysutils/OsVersion.h"

namespace {
OsVersionFacts Nt(uint32_t major, uint32_t minor, uint32_t build, const char* csd, uint8_t productType,
                  uint16_t suite = 0)
{
    OsVersionFacts f;
    f.bExtended = f.bBasic = true;
    f.dwPlatformId = 2;
    f.dwMajorVersion = major;
    f.dwMinorVersion = minor;
    f.dwBuildNumber = build;
    f.strCSDVersion = csd;
    f.wProductType = productType;
    f.wSuiteMask = suite;
    return f;
}

OsVersionFacts Win9x(uint32_t minor, const char* csd, uint32_t build = 0x040A08AE)
{
    OsVersionFacts f;
    f.bExtended = f.bBasic = true;
    f.dwPlatformId = 1;
    f.dwMajorVersion = 4;
    f.dwMinorVersion = minor;
    f.dwBuildNumber = build;
    f.strCSDVersion = csd;
    return f;
}
} // namespace

TEST_SUITE("os version")
{
    TEST_CASE("the 9x family")
    {
        OsVersion w95(Win9x(0, ""));
        CHECK(w95.nKind == 1);
        CHECK(w95.strDescription == "Microsoft Windows 95");
        CHECK(OsVersion(Win9x(0, " C")).strDescription == "Microsoft Windows 95 OSR2");
        CHECK(OsVersion(Win9x(0, " B")).strDescription == "Microsoft Windows 95 OSR2");
        CHECK(OsVersion(Win9x(0, " A")).strDescription == "Microsoft Windows 95");

        OsVersion w98(Win9x(10, ""));
        CHECK(w98.nKind == 2);
        CHECK(w98.strDescription == "Microsoft Windows 98");
        OsVersion se(Win9x(10, " A "));
        CHECK(se.nKind == 3);
        CHECK(se.strDescription == "Microsoft Windows 98 SE");

        OsVersion me(Win9x(90, " "));
        CHECK(me.nKind == 4);
        CHECK(me.strDescription == "Microsoft Windows Millennium Edition");
        CHECK(me.Is9xFamily());
        CHECK_FALSE(me.IsNTFamily());

        OsVersion other(Win9x(20, ""));
        CHECK(other.nKind == 0);
        CHECK(other.strDescription.empty());
    }

    TEST_CASE("NT workstations")
    {
        OsVersion xp(Nt(5, 1, 2600, "Service Pack 2", 1));
        CHECK(xp.nKind == 7);
        CHECK(xp.strDescription == "Microsoft Windows XP Professional Service Pack 2 (Build 2600)");
        CHECK(xp.IsNTFamily());

        CHECK(OsVersion(Nt(5, 1, 2600, "Service Pack 3", 1, 0x200)).strDescription
              == "Microsoft Windows XP Home Edition Service Pack 3 (Build 2600)");
        CHECK(OsVersion(Nt(5, 0, 2195, "", 1)).strDescription == "Microsoft Windows 2000 Professional (Build 2195)");
        CHECK(OsVersion(Nt(4, 0, 1381, "Service Pack 5", 1)).strDescription
              == "Microsoft Windows NT Workstation 4.0 Service Pack 5 (Build 1381)");
        OsVersion longhorn(Nt(6, 0, 6002, "Service Pack 2", 1));
        CHECK(longhorn.nKind == 9);
        CHECK(longhorn.strDescription
              == "Microsoft Windows Code Name \"Longhorn\" Professional Service Pack 2 (Build 6002)");
    }

    TEST_CASE("NT servers")
    {
        CHECK(OsVersion(Nt(5, 2, 3790, "Service Pack 2", 3, 0x80)).strDescription
              == "Microsoft Windows Server 2003 Datacenter Edition Service Pack 2 (Build 3790)");
        CHECK(OsVersion(Nt(5, 2, 3790, "", 3, 0x2)).strDescription
              == "Microsoft Windows Server 2003 Enterprise Edition (Build 3790)");
        CHECK(OsVersion(Nt(5, 2, 3790, "", 3, 0x400)).strDescription
              == "Microsoft Windows Server 2003 Web Edition (Build 3790)");
        CHECK(OsVersion(Nt(5, 2, 3790, "", 3, 0x410)).strDescription
              == "Microsoft Windows Server 2003 Standard Edition (Build 3790)");
        OsVersion w2003(Nt(5, 2, 3790, "", 3));
        CHECK(w2003.nKind == 8);
        CHECK(OsVersion(Nt(5, 0, 2195, "", 3, 0x80)).strDescription
              == "Microsoft Windows 2000 Datacenter Server (Build 2195)");
        CHECK(OsVersion(Nt(5, 0, 2195, "", 3, 0x2)).strDescription
              == "Microsoft Windows 2000 Advanced Server (Build 2195)");
        CHECK(OsVersion(Nt(5, 0, 2195, "", 3)).strDescription == "Microsoft Windows 2000 Server (Build 2195)");
        CHECK(OsVersion(Nt(4, 0, 1381, "", 3, 0x2)).strDescription
              == "Microsoft Windows NT Server 4.0, Enterprise Edition (Build 1381)");
        CHECK(OsVersion(Nt(4, 0, 1381, "", 3)).strDescription == "Microsoft Windows NT Server 4.0 (Build 1381)");
        // A domain controller adds no edition.
        CHECK(OsVersion(Nt(5, 2, 3790, "", 2)).strDescription == "Microsoft Windows Server 2003 (Build 3790)");
    }

    TEST_CASE("NT 4 service pack 6a")
    {
        OsVersionFacts f = Nt(4, 0, 0x12340565, "service pack 6", 1);
        f.bHotfixQ246009 = true;
        CHECK(OsVersion(f).strDescription == "Microsoft Windows NT Workstation 4.0 Service Pack 6a (Build 1381)");
        f.bHotfixQ246009 = false;
        f.dwBuildNumber = 1381;
        CHECK(OsVersion(f).strDescription == "Microsoft Windows NT Workstation 4.0 service pack 6 (Build 1381)");
    }

    TEST_CASE("only the basic query: the edition comes from the registry")
    {
        OsVersionFacts f = Nt(4, 0, 1381, "Service Pack 3", 0);
        f.bExtended = false;
        f.strProductType = "WinNT";
        CHECK(OsVersion(f).strDescription == "Microsoft Windows NT Professional 4.0 Service Pack 3 (Build 1381)");
        f.strProductType = "LANMANNT";
        CHECK(OsVersion(f).strDescription == "Microsoft Windows NT Server 4.0 Service Pack 3 (Build 1381)");
        f.strProductType = "ServerNT";
        CHECK(OsVersion(f).strDescription
              == "Microsoft Windows NT Advanced Server 4.0 Service Pack 3 (Build 1381)");
        f.strProductType = "";
        CHECK(OsVersion(f).strDescription == "Microsoft Windows NT 4.0 Service Pack 3 (Build 1381)");
    }

    TEST_CASE("versions the table does not name")
    {
        OsVersion seven(Nt(6, 1, 7601, "Service Pack 1", 1));
        CHECK(seven.nKind == 0);
        CHECK(seven.strDescription == "Professional Service Pack 1 (Build 7601)");
        OsVersion future(Nt(5, 3, 100, "", 3));
        CHECK(future.nKind == 0);
        CHECK(future.strDescription == "Server 4.0 (Build 100)");

        OsVersionFacts unknownPlatform = Win9x(0, "");
        unknownPlatform.dwPlatformId = 3;
        OsVersion ce(unknownPlatform);
        CHECK(ce.nKind == 0);
        CHECK(ce.strDescription == "<Unknown>");

        OsVersion none{OsVersionFacts()};
        CHECK(none.nKind == 0);
        CHECK(none.strDescription.empty());
    }
}

TEST_SUITE("family")
{
    TEST_CASE("the system libraries' kind of the running system is the described kind")
    {
        // OrvoSysUtils decides by OsVersion::QueryKind alone, the program by the full description.
        CHECK(OsVersion::QueryKind() == OsVersion().nKind);
        CHECK(OsVersion::QueryKind() != OsVersion::Unknown);
    }
}
