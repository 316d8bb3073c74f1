// The error dialog: shows the error message, explains known errors in plain
// words and offers "Report &Error" (back to the handler with a report
// request) and "Close" (the end of the program).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "../basic/Form.h"
#include "../basic/Timer.h"

// The explanation of a known error number; none for the others.
std::optional<std::wstring> KnownErrorExplanation(int32_t number);
// The error number on the third line of an error message; 0 when it is no number.
int32_t MessageErrorNumber(const std::wstring& message);

class vbwFrmErrHandler : public basic::Form {
 public:
  static constexpr const wchar_t* kPlaceholder =
      L"< Please describe here what you were doing exactly when this error occurred >\r\n";

  vbwFrmErrHandler();
  std::vector<ModuleVariable> ModuleVariables() const override;

  void cmdSendMail_Click();
  void cmdAction_Click(int Index);
  void tmrHighlight_Timer();
  int32_t HighlightCount() const { return lngHighlightCount; }
  bool Highlighting() const { return tmrHighlight.Enabled(); }

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  void Click(const std::wstring& control) override;
  void Paint(HDC dc) override;
  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Layout();
  SIZE MessageSize(int width);
  int ReportRoom() const;
  void MeasureReport();
  HBRUSH PaintDescribe(HDC dc);
  void DisableCloseCommand();
  void CloseApplication();

  int32_t lngHighlightCount = 0;
  basic::Timer tmrHighlight;
  bool known_ = false;
  HWND openingFocus_ = nullptr;  // the control that has the focus when the dialog opens
  COLORREF describeColour_ = CLR_INVALID;  // describeBrush_'s; none yet
  basic::UniqueGdi describeBrush_;
  int panelLeft_ = 0;  // twips
  int grown_ = 0;      // twips the explanation needs beyond its room
};

// The report extension that sits on the dialog; the handler uses it.
class VbwExtension;
extern VbwExtension VbwExtension1;

// Shows the dialog modally for the current error; it leaves the choice in vbwRetCode.
void vbwShowFrmErrHandler();
