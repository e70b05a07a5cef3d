#pragma once
// CSearchLink: the browser view of a chapter-list page that collects the chapter links.
#include <QString>

class CGantrellDlg;

class CSearchLink {
public:
  CSearchLink(CGantrellDlg* host, const QString& url);
  virtual ~CSearchLink();
  /// Creates the browser target and starts loading the list page.
  void Create(int controlId);

private:
  CGantrellDlg* host_;
  QString url_;
};
