// The tooltips of one dialog: one record per control, in the order the
// controls first got a tooltip. Records keep their address for their life.
#pragma once

#include <list>
#include <string>

template <typename Control, typename Tip, typename Area>
class ToolTipRecords {
 public:
  struct Record {
    Control control{};
    std::u16string text;
    Tip tip{};
    Area area{};  // the control's client area as last given to the tooltip
  };

  // The control's record; a new one is appended when it has none.
  Record& RecordFor(Control control) {
    for (Record& record : records_) {
      if (record.control == control) {
        return record;
      }
    }
    records_.push_back(Record{control, {}, {}, {}});
    return records_.back();
  }

  std::list<Record>& records() { return records_; }
  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  void clear() { records_.clear(); }

 private:
  std::list<Record> records_;
};
