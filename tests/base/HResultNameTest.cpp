#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "base/HResultName.h"
#include "base/HResultNameTable.h"

using brix::hresultName;
using brix::hresultNameTable;

namespace {

std::string nameOf(std::uint32_t value) {
  return hresultName(static_cast<std::int32_t>(value));
}

std::string unknown(const std::string& hex) {
  return "Unknown HRESULT value " + hex;
}

bool inTable(std::uint32_t value) {
  for (const auto& entry : hresultNameTable) {
    if (entry.value == value) return true;
  }
  return false;
}

std::string groupOf(const std::string& name) {
  for (const char* prefix : {"DDERR_", "D3DERR_", "VFW_E_", "VFW_S_", "E_PROP_"}) {
    if (name.rfind(prefix, 0) == 0) return prefix;
  }
  return "none";
}

TEST(HResultNameTable, IsSortedByValueWithEachValueOnce) {
  for (std::size_t i = 1; i < hresultNameTable.size(); ++i) {
    EXPECT_LT(hresultNameTable[i - 1].value, hresultNameTable[i].value)
        << hresultNameTable[i - 1].name << " / " << hresultNameTable[i].name;
  }
  std::set<std::string> names;
  for (const auto& entry : hresultNameTable) EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
}

TEST(HResultNameTable, HoldsTheFiveGroupsInFull) {
  std::map<std::string, int> groups;
  for (const auto& entry : hresultNameTable) ++groups[groupOf(entry.name)];
  EXPECT_EQ(hresultNameTable.size(), 276u);
  EXPECT_EQ(groups["DDERR_"], 117);
  EXPECT_EQ(groups["D3DERR_"], 21);
  EXPECT_EQ(groups["VFW_E_"], 117);
  EXPECT_EQ(groups["VFW_S_"], 20);
  EXPECT_EQ(groups["E_PROP_"], 1);
  EXPECT_EQ(groups.size(), 5u);
}

TEST(HResultNameTable, SeverityAndFacilityFitEachGroup) {
  const std::set<std::string> genericCodes = {"DDERR_UNSUPPORTED", "DDERR_GENERIC", "DDERR_OUTOFMEMORY",
                                              "DDERR_INVALIDPARAMS"};
  for (const auto& entry : hresultNameTable) {
    const std::string group = groupOf(entry.name);
    const std::uint32_t facility = (entry.value >> 16) & 0x7FFFu;
    EXPECT_EQ((entry.value & 0x80000000u) == 0, group == "VFW_S_") << entry.name;
    if (group == "VFW_E_" || group == "VFW_S_") {
      EXPECT_EQ(facility, 4u) << entry.name;
    } else if (group == "E_PROP_" || genericCodes.count(entry.name) != 0) {
      EXPECT_NE(facility, 0x876u) << entry.name;
    } else {
      EXPECT_EQ(facility, 0x876u) << entry.name;
    }
  }
}

TEST(HResultName, EveryEntryIsFoundUnderItsOwnName) {
  // Each lookup takes its own path through the search, the first and last entry included.
  for (const auto& entry : hresultNameTable) EXPECT_EQ(nameOf(entry.value), entry.name);
}

TEST(HResultName, ValuesBetweenEntriesAreNotTakenForANeighbour) {
  for (const auto& entry : hresultNameTable) {
    for (const std::uint32_t near : {entry.value - 1, entry.value + 1}) {
      if (inTable(near)) continue;
      EXPECT_EQ(nameOf(near).rfind("Unknown HRESULT value ", 0), 0u) << entry.name;
    }
  }
}

TEST(HResultName, GenericCodesCarryTheirDirectDrawNames) {
  EXPECT_EQ(nameOf(0x80004005u), "DDERR_GENERIC");
  EXPECT_EQ(nameOf(0x80004001u), "DDERR_UNSUPPORTED");
  EXPECT_EQ(nameOf(0x80070057u), "DDERR_INVALIDPARAMS");
  EXPECT_EQ(nameOf(0x8007000Eu), "DDERR_OUTOFMEMORY");
}

TEST(HResultName, CodesNamedTwiceInTheHeadersGiveOneName) {
  EXPECT_EQ(nameOf(0x8876017Cu), "D3DERR_OUTOFVIDEOMEMORY");
  EXPECT_EQ(nameOf(0x8876021Cu), "DDERR_WASSTILLDRAWING");
  EXPECT_EQ(nameOf(0x88760818u), "D3DERR_WRONGTEXTUREFORMAT");
  EXPECT_EQ(nameOf(0x887600FFu), "DDERR_NOTFOUND");
  EXPECT_EQ(nameOf(0x88760866u), "D3DERR_NOTFOUND");
}

TEST(HResultName, TheSeverityBitIsPartOfTheKey) {
  EXPECT_EQ(nameOf(0x0004022Du), "VFW_S_DUPLICATE_NAME");
  EXPECT_EQ(nameOf(0x8004022Du), "VFW_E_DUPLICATE_NAME");
  // Only the failure exists for this code: its success twin is unknown.
  EXPECT_EQ(nameOf(0x80040200u), "VFW_E_INVALIDMEDIATYPE");
  EXPECT_EQ(nameOf(0x00040200u), unknown("40200"));
  // Only the success exists for this one.
  EXPECT_EQ(nameOf(0x00040103u), "VFW_S_NO_MORE_ITEMS");
  EXPECT_EQ(nameOf(0x80040103u), unknown("80040103"));
}

TEST(HResultName, TheGroupsEndsAreNamed) {
  EXPECT_EQ(nameOf(0x80040295u), "VFW_E_CERTIFICATION_FAILURE");
  EXPECT_EQ(nameOf(0x800403F2u), "VFW_E_BAD_KEY");
  EXPECT_EQ(nameOf(0x0004028Du), "VFW_S_DVD_NOT_ACCURATE");
  EXPECT_EQ(nameOf(0x88760005u), "DDERR_ALREADYINITIALIZED");
  EXPECT_EQ(nameOf(0x887602BBu), "DDERR_DEVICEDOESNTOWNSURFACE");
  EXPECT_EQ(nameOf(0x8876086Du), "D3DERR_DRIVERINVALIDCALL");
}

TEST(HResultName, ThePropertySetCodeStandsAlone) {
  EXPECT_EQ(nameOf(0x80070492u), "E_PROP_SET_UNSUPPORTED");
  EXPECT_EQ(nameOf(0x80070490u), unknown("80070490"));
  EXPECT_EQ(nameOf(0x80070491u), unknown("80070491"));
  EXPECT_EQ(nameOf(0x80070493u), unknown("80070493"));
}

TEST(HResultName, UnknownValuesAreLowerCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(nameOf(0x8000FFFFu), unknown("8000ffff"));  // E_UNEXPECTED: not listed
  EXPECT_EQ(nameOf(0), unknown("0"));
  EXPECT_EQ(nameOf(1), unknown("1"));
  EXPECT_EQ(nameOf(0xABCu), unknown("abc"));
  EXPECT_EQ(nameOf(0x7FFFFFFFu), unknown("7fffffff"));
  EXPECT_EQ(nameOf(0xFFFFFFFFu), unknown("ffffffff"));
  EXPECT_EQ(hresultName(-1), unknown("ffffffff"));
  // Facility 0x876 with a code no name has.
  EXPECT_EQ(nameOf(0x88760001u), unknown("88760001"));
}

}  // namespace
