#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dataset/dataset.h"
#include "memory_table.h"
#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/locale.h"

using dataset::DataSetState;
using dataset::FieldDef;
using dataset::FieldType;
using dataset::Variant;
using testing_support::MemoryTable;

namespace {

std::string dbError(const std::function<void()>& f) {
  try {
    f();
  } catch (const platform::EDatabaseError& e) {
    return e.what();
  }
  return "(no database error)";
}

class DataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setUserLocale("en_US");
    table.defs = {{"ID", FieldType::Integer}, {"Name", FieldType::String, 5}};
  }
  void addRows(int count) {
    for (int i = 1; i <= count; ++i) table.rows.push_back({Variant(i), Variant("row" + std::to_string(i))});
  }
  int currentId() { return table.fieldByName("ID").asInteger(); }

  MemoryTable table;
};

}  // namespace

// The BOF / EOF flags and the current row after each move, on tables of
// zero, one and three rows.
TEST_F(DataSetTest, BofAndEofFollowEveryMove) {
  struct Step {
    const char* move;
    bool bof, eof;
    int id;  // 0: no current row
  };
  struct Case {
    int rows;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {0,
       {{"open", true, true, 0},
        {"next", true, true, 0},
        {"prior", true, true, 0},
        {"last", true, true, 0},
        {"first", true, true, 0}}},
      {1,
       {{"open", true, false, 1},
        {"next", false, true, 1},
        {"next", false, true, 1},
        {"prior", true, false, 1},
        {"last", false, true, 1},
        {"first", true, false, 1}}},
      {3,
       {{"open", true, false, 1},
        {"prior", true, false, 1},
        {"next", false, false, 2},
        {"next", false, false, 3},
        {"next", false, true, 3},
        {"prior", false, false, 2},
        {"last", false, true, 3},
        {"prior", false, false, 2},
        {"prior", false, false, 1},
        {"prior", true, false, 1},
        {"next", false, false, 2},
        {"first", true, false, 1}}},
  };
  for (const Case& c : cases) {
    MemoryTable t;
    t.defs = table.defs;
    for (int i = 1; i <= c.rows; ++i) t.rows.push_back({Variant(i), Variant("r")});
    for (const Step& s : c.steps) {
      std::string m = s.move;
      if (m == "open") t.open();
      if (m == "next") t.next();
      if (m == "prior") t.prior();
      if (m == "first") t.first();
      if (m == "last") t.last();
      SCOPED_TRACE(std::to_string(c.rows) + " rows, " + m);
      EXPECT_EQ(t.bof(), s.bof);
      EXPECT_EQ(t.eof(), s.eof);
      EXPECT_EQ(t.isEmpty(), s.id == 0);
      if (s.id == 0) {
        EXPECT_TRUE(t.fieldByName("ID").value().isNull());
        EXPECT_EQ(t.recNo(), -1);
      } else {
        EXPECT_EQ(t.fieldByName("ID").asInteger(), s.id);
        EXPECT_EQ(t.recNo(), s.id);
      }
    }
    EXPECT_EQ(t.recordCount(), c.rows);
  }
}

TEST_F(DataSetTest, MoveByStopsAtTheEnds) {
  addRows(5);
  table.open();
  EXPECT_EQ(table.moveBy(3), 3);
  EXPECT_EQ(currentId(), 4);
  EXPECT_EQ(table.moveBy(5), 1);
  EXPECT_TRUE(table.eof());
  EXPECT_EQ(table.moveBy(-10), 4);
  EXPECT_TRUE(table.bof());
  EXPECT_EQ(currentId(), 1);
}

TEST_F(DataSetTest, EditOnAnEmptyTableStartsAnInsert) {
  table.open();
  table.edit();
  EXPECT_EQ(table.state(), DataSetState::Insert);
  EXPECT_EQ(table.recNo(), -1);
  EXPECT_FALSE(table.isEmpty());
  table.fieldByName("ID").setValue(Variant(7));
  table.fieldByName("name").setAsString("Seven");
  table.post();
  EXPECT_EQ(table.state(), DataSetState::Browse);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.rows[0][0], Variant(7));
  EXPECT_EQ(table.recordCount(), 1);
  EXPECT_EQ(table.recNo(), 1);
  EXPECT_EQ(table.fieldValue("Name"), Variant("Seven"));
}

TEST_F(DataSetTest, AnInsertNeverPostedIsDroppedOnClose) {
  table.open();
  table.edit();
  table.fieldByName("ID").setAsInteger(1);
  // Only edit state is posted by the caller here; the insert stays pending.
  EXPECT_NE(table.state(), DataSetState::Edit);
  table.close();
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.cancels, 1);
}

TEST_F(DataSetTest, MovingOffAnEditedRecordPostsIt) {
  addRows(3);
  table.open();
  table.edit();
  table.fieldByName("Name").setValue(Variant("first"));
  table.next();
  EXPECT_EQ(table.state(), DataSetState::Browse);
  EXPECT_EQ(table.rows[0][1], Variant("first"));
  EXPECT_EQ(currentId(), 2);

  // On the last row the move finds nothing but still posts.
  table.last();
  table.edit();
  table.fieldByName("Name").setValue(Variant("last"));
  table.next();
  EXPECT_EQ(table.rows[2][1], Variant("last"));
  EXPECT_TRUE(table.eof());
  EXPECT_EQ(currentId(), 3);
  EXPECT_EQ(table.posts, 2);

  // An edit in which no field was written is cancelled, not posted.
  table.first();
  table.edit();
  table.next();
  EXPECT_EQ(table.posts, 2);
  EXPECT_EQ(table.state(), DataSetState::Browse);
}

TEST_F(DataSetTest, EveryRowOfALoopIsStoredByTheMoveThatLeavesIt) {
  addRows(3);
  table.open();
  table.first();
  table.edit();
  const int n = table.recordCount();
  for (int i = 0; i < n; ++i) {
    if (table.state() != DataSetState::Edit) table.edit();
    table.fieldByName("Name").setAsString("done" + std::to_string(i));
    table.next();
  }
  if (table.state() == DataSetState::Edit) table.post();
  EXPECT_EQ(table.rows[0][1], Variant("done0"));
  EXPECT_EQ(table.rows[1][1], Variant("done1"));
  EXPECT_EQ(table.rows[2][1], Variant("done2"));
}

TEST_F(DataSetTest, CancelRestoresTheShownValues) {
  addRows(2);
  table.open();
  table.next();
  table.edit();
  table.fieldByName("Name").setValue(Variant("zzz"));
  EXPECT_EQ(table.fieldValue("Name"), Variant("zzz"));
  table.cancel();
  EXPECT_EQ(table.state(), DataSetState::Browse);
  EXPECT_EQ(table.fieldValue("Name"), Variant("row2"));
  EXPECT_EQ(table.rows[1][1], Variant("row2"));
  EXPECT_EQ(table.posts, 0);

  table.insert();
  EXPECT_TRUE(table.fieldValue("ID").isNull());
  table.cancel();
  EXPECT_EQ(currentId(), 2);
  EXPECT_EQ(table.rows.size(), 2u);
}

TEST_F(DataSetTest, AFailedPostKeepsTheEditSoItCanBeCorrected) {
  addRows(1);
  table.open();
  table.edit();
  table.fieldByName("Name").setValue(Variant("bad"));
  table.failNextPost = "constraint violated";
  EXPECT_THROW(table.post(), std::runtime_error);
  EXPECT_EQ(table.state(), DataSetState::Edit);
  EXPECT_EQ(table.fieldValue("Name"), Variant("bad"));
  table.fieldByName("Name").setValue(Variant("good"));
  table.post();
  EXPECT_EQ(table.rows[0][1], Variant("good"));
}

TEST_F(DataSetTest, EditAfterRunningPastTheEndEditsTheShownRow) {
  addRows(2);
  table.open();
  table.last();
  table.next();  // finds nothing: the cursor stands past the end
  table.edit();
  table.fieldByName("Name").setValue(Variant("x"));
  table.post();
  EXPECT_EQ(table.rows[1][1], Variant("x"));
  EXPECT_EQ(table.rows[0][1], Variant("row1"));
}

TEST_F(DataSetTest, DeleteMovesToTheNextRowOrTheNewLastOne) {
  addRows(3);
  table.open();
  table.next();
  table.deleteRecord();
  EXPECT_EQ(currentId(), 3);
  table.deleteRecord();
  EXPECT_EQ(currentId(), 1);
  table.deleteRecord();
  EXPECT_TRUE(table.isEmpty());
  EXPECT_TRUE(table.bof() && table.eof());
  EXPECT_EQ(dbError([&] { table.deleteRecord(); }), "Cannot perform this operation on an empty dataset");
}

TEST_F(DataSetTest, RefreshShowsRowsChangedElsewhere) {
  table.open();
  EXPECT_TRUE(table.isEmpty());
  addRows(2);
  table.refresh();
  EXPECT_EQ(currentId(), 1);
  table.next();
  table.rows[1][1] = Variant("changed");
  EXPECT_EQ(table.fieldValue("Name"), Variant("row2"));
  table.refresh();
  EXPECT_EQ(table.fieldValue("Name"), Variant("changed"));
}

TEST_F(DataSetTest, MisuseIsRefusedWithTheLayersTexts) {
  EXPECT_EQ(dbError([&] { table.first(); }), "Cannot perform this operation on a closed dataset");
  EXPECT_EQ(dbError([&] { table.edit(); }), "Cannot perform this operation on a closed dataset");
  EXPECT_EQ(dbError([&] { table.fieldByName("ID"); }), "Field 'ID' not found");
  EXPECT_EQ(table.recordCount(), 0);

  addRows(1);
  table.open();
  EXPECT_EQ(dbError([&] { table.fieldByName("Nom"); }), "Field 'Nom' not found");
  EXPECT_EQ(dbError([&] { table.fieldByName("ID").setAsInteger(3); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(dbError([&] { table.setReadOnly(true); }), "Cannot perform this operation on an open dataset");
  table.close();

  table.setReadOnly(true);
  table.open();
  EXPECT_EQ(dbError([&] { table.edit(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(dbError([&] { table.insert(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(dbError([&] { table.deleteRecord(); }), "Cannot modify a read-only dataset");
  table.close();

  table.defs.push_back({"Dup", FieldType::Integer});
  table.defs.push_back({"DUP", FieldType::Integer});
  EXPECT_EQ(dbError([&] { table.open(); }), "Duplicate field name 'DUP'");
  EXPECT_FALSE(table.active());
}

TEST_F(DataSetTest, RequiredAndReadOnlyFields) {
  table.defs = {{"ID", FieldType::AutoInc, 0, false, true}, {"Code", FieldType::String, 3, true}};
  table.open();
  table.insert();
  EXPECT_EQ(dbError([&] { table.fieldByName("ID").setAsInteger(1); }), "Field 'ID' cannot be modified");
  EXPECT_EQ(dbError([&] { table.post(); }), "Field 'Code' must have a value");
  EXPECT_EQ(table.state(), DataSetState::Insert);
  table.fieldByName("Code").setAsString("A");
  table.post();
  EXPECT_EQ(table.rows.size(), 1u);
}

TEST_F(DataSetTest, FieldsConvertWhatIsAssigned) {
  table.defs = {{"Text", FieldType::String, 10}, {"Small", FieldType::Smallint}, {"Flag", FieldType::Boolean},
                {"Day", FieldType::Date},       {"Amount", FieldType::Currency}, {"Big", FieldType::Largeint}};
  table.open();
  table.insert();
  auto& text = table.fieldByName("text");
  text.setValue(Variant("5.8 build 1 and more"));
  EXPECT_EQ(text.asString(), "5.8 build ");
  text.setValue(Variant(int32_t(42)));
  EXPECT_EQ(text.value(), Variant("42"));

  auto& small = table.fieldByName("Small");
  small.setAsString("123");
  EXPECT_EQ(small.value(), Variant(int32_t(123)));
  EXPECT_EQ(dbError([&] { small.setAsInteger(40000); }),
            "40000 is not a valid value for field 'Small'. The allowed range is -32768 to 32767");
  EXPECT_EQ(dbError([&] { small.setAsString("1x"); }), "'1x' is not a valid integer value for field 'Small'");
  small.setAsString("");
  EXPECT_TRUE(small.isNull());
  EXPECT_EQ(small.asInteger(), 0);
  EXPECT_EQ(small.asString(), "");

  auto& flag = table.fieldByName("Flag");
  flag.setAsString("t");
  EXPECT_EQ(flag.value(), Variant(true));
  EXPECT_EQ(flag.asString(), "True");
  EXPECT_EQ(dbError([&] { flag.setAsString("yes"); }), "'yes' is not a valid boolean value for field 'Flag'");

  auto& day = table.fieldByName("Day");
  double d = platform::encodeDate(2024, 3, 1);
  day.setAsDateTime(d + 0.75);
  EXPECT_EQ(day.asDateTime(), d);

  auto& amount = table.fieldByName("Amount");
  amount.setValue(Variant("12.25"));
  EXPECT_EQ(amount.value(), Variant(12.25));
  EXPECT_EQ(amount.asCurrency(), 122500);

  auto& big = table.fieldByName("Big");
  big.setValue(Variant("9000000000"));
  EXPECT_EQ(big.asLargeInt(), 9000000000);
  EXPECT_THROW(big.setValue(Variant("abc")), platform::EConvertError);

  // A null variant clears, whatever the type.
  text.setValue(Variant::null());
  EXPECT_TRUE(text.isNull());
}

TEST_F(DataSetTest, LargeObjectsAreReadOnlyWhenAskedFor) {
  table.defs = {{"ID", FieldType::Integer}, {"Notes", FieldType::Memo}};
  table.rows = {{Variant(1), Variant("long text")}, {Variant(2), Variant("other")}};
  table.open();
  table.next();
  EXPECT_EQ(table.blobLoads, 0);
  EXPECT_EQ(table.fieldValue("Notes"), Variant("other"));
  EXPECT_EQ(table.fieldValue("Notes"), Variant("other"));
  EXPECT_EQ(table.blobLoads, 1);

  // Editing another field leaves the large object unread and unchanged.
  table.first();
  table.edit();
  table.fieldByName("ID").setAsInteger(10);
  table.post();
  EXPECT_EQ(table.blobLoads, 1);
  EXPECT_EQ(table.rows[0][1], Variant("long text"));
  EXPECT_EQ(table.rows[0][0], Variant(10));
}
