// The visible setting page, as the operations move values between it and the record.
#pragma once

namespace rovant {

class PageStore {
 public:
  virtual ~PageStore() = default;
  // Page to record: the visible page's selections go into the settings record.
  virtual void StorePageSelections() = 0;
  // Record to page: the visible page reloads its controls from the record.
  virtual void RefreshCurrentPage() = 0;
};

}  // namespace rovant
