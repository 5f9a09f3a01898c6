// The command line, by tables.
#include <gtest/gtest.h>

#include "app/core/LigneCommande.h"

namespace {

using Params = std::vector<String>;

TEST(LigneCommande, NoParametersKeepsEverything) {
  const TLigneCommande r = LitLigneCommande({});
  EXPECT_FALSE(r.Connecter);
  EXPECT_FALSE(r.Passif.has_value());  // the box keeps its state
  EXPECT_FALSE(r.Host || r.User || r.Pass || r.Port || r.Racine);
  EXPECT_FALSE(r.FR || r.US || r.Unlocalize);
}

struct FieldCase {
  const char16_t* param;
  const char16_t* host;
  const char16_t* user;
  const char16_t* pass;
  Integer port;  // -1: not set
  const char16_t* racine;
};

TEST(LigneCommande, Fields) {
  const FieldCase cases[] = {
      {u"-host=h1", u"h1", nullptr, nullptr, -1, nullptr},
      {u"/HOST=Srv.Example", u"Srv.Example", nullptr, nullptr, -1, nullptr},  // case of the value kept
      {u"xhost=h", u"h", nullptr, nullptr, -1, nullptr},                      // first character not examined
      {u"host=x", nullptr, nullptr, nullptr, -1, nullptr},                    // "HOST=" at the first character
      {u"-HoSt=", u"", nullptr, nullptr, -1, nullptr},
      {u"-user=Jean Dupont", nullptr, u"Jean Dupont", nullptr, -1, nullptr},
      {u"-pass=a=b=c", nullptr, nullptr, u"a=b=c", -1, nullptr},  // only the first "=" splits
      {u"-PASS=", nullptr, nullptr, u"", -1, nullptr},
      {u"-port=2121", nullptr, nullptr, nullptr, 2121, nullptr},
      {u"-port=x", nullptr, nullptr, nullptr, 21, nullptr},
      {u"-port=", nullptr, nullptr, nullptr, 21, nullptr},
      {u"-port=12.5", nullptr, nullptr, nullptr, 21, nullptr},
      {u"-port=99999", nullptr, nullptr, nullptr, 99999, nullptr},  // the spin edit clamps
      {u"-racine=site/www", nullptr, nullptr, nullptr, -1, u"site/www"},
      {u"/RACINE=/a=b", nullptr, nullptr, nullptr, -1, u"/a=b"},
      {u"-hostname=x", nullptr, nullptr, nullptr, -1, nullptr},
      {u"--host=x", nullptr, nullptr, nullptr, -1, nullptr},
      {u"-ho", nullptr, nullptr, nullptr, -1, nullptr},
      {u"", nullptr, nullptr, nullptr, -1, nullptr},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "case with port " << c.port);
    const TLigneCommande r = LitLigneCommande({c.param});
    // Only a parameter read into a field connects.
    const bool field = c.host || c.user || c.pass || c.port != -1 || c.racine;
    EXPECT_EQ(r.Connecter, field);
    EXPECT_EQ(r.Passif.has_value(), field);
    ASSERT_EQ(r.Host.has_value(), c.host != nullptr);
    if (c.host) {
      EXPECT_EQ(*r.Host, String(c.host));
    }
    ASSERT_EQ(r.User.has_value(), c.user != nullptr);
    if (c.user) {
      EXPECT_EQ(*r.User, String(c.user));
    }
    ASSERT_EQ(r.Pass.has_value(), c.pass != nullptr);
    if (c.pass) {
      EXPECT_EQ(*r.Pass, String(c.pass));
    }
    ASSERT_EQ(r.Port.has_value(), c.port != -1);
    if (c.port != -1) {
      EXPECT_EQ(*r.Port, c.port);
    }
    ASSERT_EQ(r.Racine.has_value(), c.racine != nullptr);
    if (c.racine) {
      EXPECT_EQ(*r.Racine, String(c.racine));
    }
  }
}

TEST(LigneCommande, HostAndBadPort) {
  const TLigneCommande r = LitLigneCommande({u"-host=h1", u"-port=x"});
  EXPECT_EQ(*r.Host, u"h1");
  EXPECT_EQ(*r.Port, 21);
  EXPECT_EQ(r.Passif, false);  // parameters given, no -passive: unchecked
}

TEST(LigneCommande, LaterParameterWins) {
  const TLigneCommande r = LitLigneCommande({u"-host=a", u"-host=b"});
  EXPECT_EQ(*r.Host, u"b");
}

struct SwitchCase {
  const char16_t* param;
  bool passive, fr, us, unlocalize;
};

TEST(LigneCommande, Switches) {
  const SwitchCase cases[] = {
      {u"-passive", true, false, false, false},    {u"/PASSIVE", true, false, false, false},
      {u"-Passive", true, false, false, false},    {u"passive", false, false, false, false},
      {u"xpassive", false, false, false, false},   {u"-passive2", false, false, false, false},
      {u"-fr", false, true, false, false},         {u"/FR", false, true, false, false},
      {u"-us", false, false, true, false},         {u"/Us", false, false, true, false},
      {u"-unlocalize", false, false, false, true}, {u"/UNLOCALIZE", false, false, false, true},
      {u"--fr", false, false, false, false},
  };
  for (const SwitchCase& c : cases) {
    const TLigneCommande r = LitLigneCommande({c.param});
    // -passive alone connects and checks the box; the other switches alone
    // neither connect nor touch the box.
    EXPECT_EQ(r.Connecter, c.passive);
    EXPECT_EQ(r.Passif.has_value(), c.passive);
    if (r.Passif) {
      EXPECT_TRUE(*r.Passif);
    }
    EXPECT_EQ(r.FR, c.fr);
    EXPECT_EQ(r.US, c.us);
    EXPECT_EQ(r.Unlocalize, c.unlocalize);
  }
}

TEST(LigneCommande, LanguageSwitchesAloneNeitherConnectNorSetPassive) {
  const struct {
    Params params;
    bool connect;
    int passif;  // -1: the box keeps its state
  } cases[] = {
      {{u"-FR"}, false, -1},
      {{u"/us"}, false, -1},
      {{u"-FR", u"-US", u"-unlocalize"}, false, -1},
      {{u"host=x"}, false, -1},  // not a connection parameter
      {{u"-US", u"-host=h"}, true, 0},
      {{u"-FR", u"-passive"}, true, 1},
      {{u"-US", u"-user=u", u"-passive"}, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.params.size() << " parameter(s), connect " << c.connect);
    const TLigneCommande r = LitLigneCommande(c.params);
    EXPECT_EQ(r.Connecter, c.connect);
    ASSERT_EQ(r.Passif.has_value(), c.passif != -1);
    if (r.Passif) {
      EXPECT_EQ(*r.Passif, c.passif == 1);
    }
  }
}

TEST(LigneCommande, FullLine) {
  const TLigneCommande r = LitLigneCommande({u"HOST=ignored", u"-HOST=127.0.0.1", u"-PORT=2121", u"-USER=demo",
                                             u"-PASS=demo", u"/RACINE=www", u"-passive", u"-US"});
  EXPECT_EQ(*r.Host, u"127.0.0.1");
  EXPECT_EQ(*r.Port, 2121);
  EXPECT_EQ(*r.User, u"demo");
  EXPECT_EQ(*r.Pass, u"demo");
  EXPECT_EQ(*r.Racine, u"www");
  EXPECT_EQ(r.Passif, true);
  EXPECT_TRUE(r.US);
  EXPECT_FALSE(r.FR);
}

}  // namespace
