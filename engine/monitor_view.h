#pragma once
// CMonitorView: the browser view of one page of a chapter.
#include <QString>
#include <cstdint>

class CGantrellDlg;

class CMonitorView {
public:
  CMonitorView(CGantrellDlg* host, const QString& url, std::int32_t page);
  virtual ~CMonitorView();
  /// Creates the browser target and starts loading the page.
  void Create(int controlId);

private:
  CGantrellDlg* host_;
  QString url_;
  std::int32_t page_;
};
