// The profile engine on generated files (the same generator the differential test runs under
// Wine): every byte survives, answers fit the caller's buffer, and a write changes the answer it
// is about and no other.
#include <gtest/gtest.h>

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/Text.h"
#include "tests/differential/ProfileGenerator.h"

namespace {

using differential::DescribeQuery;
using differential::Escape;
using differential::ProfileCase;
using differential::ProfileQuery;
using sim::ProfileDocument;

constexpr std::size_t kFiles = 500;

// The same name as the profile functions compare names: blanks around it and letter case aside.
bool SameName(const std::string& a, const std::string& b) {
  return sim::EqualsNoCase(sim::TrimBlanks(a), sim::TrimBlanks(b));
}

TEST(GeneratedProfiles, ReadingKeepsEveryByteAndAnswersFitTheBuffer) {
  differential::Random random(7);
  sim::SimMachine machine;
  auto& profiles = machine.Platform().profiles;
  for (std::size_t i = 0; i < kFiles; ++i) {
    ProfileCase profile = differential::GenerateProfile(random);
    SCOPED_TRACE(Escape(profile.text));
    EXPECT_EQ(ProfileDocument(profile.text).Text(), profile.text);
    ASSERT_TRUE(machine.Files().WriteFileDirect("C:\\gen.ini", profile.text));
    for (const ProfileQuery& query : profile.queries) {
      if (query.integer) {
        continue;
      }
      std::string answer = profiles.GetString(query.section, query.key, query.defaultText,
                                              query.capacity, "C:\\gen.ini");
      EXPECT_LT(answer.size(), query.capacity) << DescribeQuery(query);
      EXPECT_EQ(answer.find_first_of("\r\n"), std::string::npos) << DescribeQuery(query);
    }
  }
}

TEST(GeneratedProfiles, AWriteChangesOnlyTheAnswerItIsAbout) {
  differential::Random random(8);
  for (std::size_t i = 0; i < kFiles; ++i) {
    ProfileCase profile = differential::GenerateProfile(random);
    SCOPED_TRACE(Escape(profile.text));
    ProfileDocument original(profile.text);
    const ProfileQuery& written = profile.queries.front();
    ProfileDocument changed(profile.text);
    changed.Set(written.section, written.key, "fresh");
    ProfileDocument reread(changed.Text());
    EXPECT_EQ(reread.Get(written.section, written.key), "fresh") << DescribeQuery(written);
    for (const ProfileQuery& query : profile.queries) {
      if (!SameName(query.key, written.key) || !SameName(query.section, written.section)) {
        EXPECT_EQ(reread.Get(query.section, query.key), original.Get(query.section, query.key))
            << "after writing " << DescribeQuery(written) << ", " << DescribeQuery(query);
      }
    }
  }
}

}  // namespace
