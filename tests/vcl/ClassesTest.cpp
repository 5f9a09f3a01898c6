#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/Classes.h"

namespace {

std::vector<std::string> gLog;

class TLogged : public TComponent {
public:
  TLogged(TComponent* AOwner, std::string Tag) : TComponent(AOwner), FTag(std::move(Tag)) {}
  ~TLogged() override { gLog.push_back("~" + FTag); }
  std::vector<std::pair<TComponent*, TOperation>> Notes;
  std::string FTag;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    Notes.emplace_back(AComponent, Operation);
  }
  void BeforeDestruction() override {
    // The whole object, members included, is still alive here.
    gLog.push_back("before " + FTag + " owns " + std::to_string(ComponentCount()));
    TComponent::BeforeDestruction();
  }
  void Loaded() override {
    TComponent::Loaded();
    gLog.push_back("loaded " + FTag);
  }
};

class TOtherKind : public TComponent {
public:
  using TComponent::TComponent;
};

TEST(Component, OwnsInCreationOrderAndFreesLastFirst) {
  gLog.clear();
  auto* owner = new TLogged(nullptr, "owner");
  auto* a = new TLogged(owner, "a");
  auto* b = new TOtherKind(owner);
  auto* c = new TLogged(owner, "c");
  a->SetName(u"First");
  c->SetName(u"Third");
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(owner->Components(2), c);
  EXPECT_EQ(c->ComponentIndex(), 2);
  EXPECT_EQ(b->ClassName(), u"TOtherKind");
  EXPECT_EQ(a->ClassName(), u"TLogged");
  EXPECT_EQ(owner->FindComponent(u"third"), c);
  EXPECT_EQ(owner->FindComponent(u"missing"), nullptr);
  EXPECT_THROW(b->SetName(u"FIRST"), EComponentError);
  EXPECT_THROW(owner->Components(3), EListError);

  delete owner;
  const std::vector<std::string> expected = {
      "before owner owns 3", "before c owns 0", "~c", "before a owns 0", "~a", "~owner"};
  EXPECT_EQ(gLog, expected);
}

TEST(Component, FreeNotificationTellsAboutRemovalBothWays) {
  auto* watcher = new TLogged(nullptr, "watcher");
  auto* watched = new TLogged(nullptr, "watched");
  watched->FreeNotification(watcher);
  delete watched;
  ASSERT_EQ(watcher->Notes.size(), 1u);
  EXPECT_EQ(watcher->Notes[0].first, watched);
  EXPECT_EQ(watcher->Notes[0].second, opRemove);

  // The link goes away with the watcher too: deleting the watched one later
  // must not touch the freed watcher.
  auto* again = new TLogged(nullptr, "again");
  again->FreeNotification(watcher);
  delete watcher;
  delete again;
}

TEST(Component, OwnerAndSiblingsHearOfInsertAndRemove) {
  auto* owner = new TLogged(nullptr, "owner");
  auto* sibling = new TLogged(owner, "sibling");
  auto* child = new TLogged(owner, "child");
  ASSERT_FALSE(owner->Notes.empty());
  EXPECT_EQ(owner->Notes.back(), std::make_pair(static_cast<TComponent*>(child), opInsert));
  EXPECT_EQ(sibling->Notes.back(), std::make_pair(static_cast<TComponent*>(child), opInsert));
  delete child;
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(sibling->Notes.back(), std::make_pair(static_cast<TComponent*>(child), opRemove));
  delete owner;
}

TEST(Component, LoadingEndsWithLoadedInCreationOrder) {
  gLog.clear();
  auto* owner = new TLogged(nullptr, "owner");
  auto* a = new TLogged(owner, "a");
  new TLogged(owner, "b");
  owner->BeginLoading();
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  // Made while the owner is built: loaded with the others.
  auto* late = new TLogged(owner, "late");
  auto* lateChild = new TLogged(late, "late child");
  EXPECT_TRUE(late->ComponentState().Contains(csLoading));
  EXPECT_TRUE(lateChild->ComponentState().Contains(csLoading));
  owner->EndLoading();
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));
  EXPECT_FALSE(lateChild->ComponentState().Contains(csLoading));
  EXPECT_FALSE(owner->ComponentState().Contains(csLoading));
  const std::vector<std::string> expected = {"loaded a", "loaded b", "loaded late child", "loaded late",
                                             "loaded owner"};
  EXPECT_EQ(gLog, expected);
  delete owner;
}

// A form being designed designs what it owns, and what they own.
TEST(Component, DesigningPassesToOwnedComponents) {
  class TDesigned : public TLogged {
  public:
    using TLogged::TLogged;
    void Design() {
      TComponentState S = ComponentState();
      S.Include(csDesigning);
      SetComponentState(S);
    }
  };
  auto* designed = new TDesigned(nullptr, "form");
  auto* before = new TLogged(designed, "before");
  designed->Design();
  auto* child = new TLogged(designed, "child");
  auto* grandChild = new TLogged(child, "grand child");
  EXPECT_FALSE(before->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(grandChild->ComponentState().Contains(csDesigning));
  auto* plain = new TLogged(nullptr, "plain");
  EXPECT_FALSE((new TLogged(plain, "run time"))->ComponentState().Contains(csDesigning));
  delete plain;
  delete designed;
}

// ---------------------------------------------------------------- collections

class TNamedItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  String Name;
  void Assign(TPersistent* Source) override {
    if (auto* other = dynamic_cast<TNamedItem*>(Source)) {
      Name = other->Name;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(Source);
  }
  void Rename(const String& Value) {
    Name = Value;
    Changed(false);
  }
};

class TWatchedCollection : public TOwnedCollection {
public:
  explicit TWatchedCollection(TPersistent* Owner) : TOwnedCollection(Owner, ItemClass<TNamedItem>()) {}
  std::vector<std::pair<TCollectionItem*, TCollectionNotification>> Notes;
  std::vector<TCollectionItem*> Updates;

protected:
  void Update(TCollectionItem* Item) override {
    Updates.push_back(Item);
    TOwnedCollection::Update(Item);
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override { Notes.emplace_back(Item, Action); }
};

TEST(Collection, NotifiesAndUpdates) {
  TPersistent owner;
  TWatchedCollection items(&owner);
  EXPECT_EQ(items.GetOwner(), &owner);
  auto* first = static_cast<TNamedItem*>(items.Add());
  auto* second = static_cast<TNamedItem*>(items.Add());
  EXPECT_EQ(second->Index(), 1);
  EXPECT_EQ(second->ID(), 1);
  EXPECT_EQ(second->GetOwner(), &items);
  EXPECT_EQ(items.Notes.front(), std::make_pair(static_cast<TCollectionItem*>(first), cnAdded));
  // Adding updates the whole collection once per item.
  EXPECT_EQ(items.Updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));

  items.Updates.clear();
  second->Rename(u"two");
  EXPECT_EQ(items.Updates, std::vector<TCollectionItem*>{second});

  items.Updates.clear();
  items.BeginUpdate();
  first->Rename(u"one");
  second->Rename(u"deux");
  items.Add();
  EXPECT_TRUE(items.Updates.empty());
  items.EndUpdate();
  EXPECT_EQ(items.Updates, std::vector<TCollectionItem*>{nullptr});

  second->SetIndex(0);
  EXPECT_EQ(items.Items(0), second);
  EXPECT_EQ(first->Index(), 1);

  items.Notes.clear();
  items.Delete(0);
  ASSERT_EQ(items.Notes.size(), 2u);
  EXPECT_EQ(items.Notes[0].second, cnDeleting);
  EXPECT_EQ(items.Notes[1].second, cnExtracting);
  EXPECT_EQ(items.Count(), 2);
  EXPECT_EQ(items.FindItemID(1), nullptr);
  EXPECT_THROW(items.Delete(5), EListError);
}

TEST(Collection, AssignCopiesItems) {
  TWatchedCollection source(nullptr), copy(nullptr);
  static_cast<TNamedItem*>(source.Add())->Name = u"a";
  static_cast<TNamedItem*>(source.Add())->Name = u"b";
  copy.Add();
  copy.Assign(&source);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TNamedItem*>(copy.Items(1))->Name, u"b");
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaises) {
  TWatchedCollection items(nullptr);
  TPersistent other;
  try {
    items.Assign(&other);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TPersistent to a TWatchedCollection");
  }
}

}  // namespace
