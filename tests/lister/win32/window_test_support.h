// Scaffolding of the Win32 window tests: the real window started on archives written by our own
// writer, its dialogs answered through the seam, read back through window messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "main_window.h"
#include "resource.h"

namespace lister::win32::testing {

inline std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class WindowTest : public ::testing::Test {
 public:
  WindowTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("trovanta-" + std::to_string(GetCurrentProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    seam_.boxShown = [this](HWND box) {
      boxes_.push_back(
          WindowText(box).append(": ").append(WindowText(GetDlgItem(box, IDC_ERRORTEXT))));
      boxFrames_.push_back({});
      GetWindowRect(box, &boxFrames_.back());
      if (onBox_) {
        onBox_(box);
      }
      SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
    seam_.getOpenFileName = [this](OPENFILENAMEA& request) {
      std::size_t length = 0;  // the list ends with two NULs
      while (request.lpstrFilter[length] != '\0' || request.lpstrFilter[length + 1] != '\0') {
        ++length;
      }
      requests_.push_back({std::string(request.lpstrFilter, length + 1), request.nFilterIndex,
                           request.lpstrFile, request.lpstrTitle, request.Flags, request.nMaxFile});
      if (answer_.empty()) {
        return FALSE;
      }
      answer_.copy(request.lpstrFile, answer_.size());
      request.lpstrFile[answer_.size()] = '\0';
      request.nFilterIndex = answerFilter_;
      return TRUE;
    };
  }
  ~WindowTest() override {
    form_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Starts the window as the program does, with `args` after the program name.
  TForm1& Start(const std::vector<std::string>& args) {
    form_ = std::make_unique<TForm1>(reader_, seam_, false);
    form_->SetArchivePath(args.empty() ? std::string() : args.front());
    form_->PlaceFixedTexts();
    form_->ListArchive();
    form_->Show();
    return *form_;
  }
  std::string Write(const std::string& name, const archive::ArchiveImage& image) {
    const std::string path = (dir_ / name).string();
    return image.WriteTo(path) ? path : throw std::runtime_error(path);
  }
  // An archive of `records` stored records named R0.SPR, R1.SPR, ...
  std::string Numbered(const std::string& name, int records) {
    std::vector<archive::RecordSpec> specs;
    for (int i = 0; i < records; ++i) {
      specs.push_back({std::string("R").append(std::to_string(i)).append(".SPR"),
                       archive::kMethodStored, 100 + i});
    }
    return Write(name, archive::BuildArchive("Numbered", 1, specs));
  }
  // Lists `path` as if the user chose it in the open dialog with filter `filter` (from 1).
  void Open(const std::string& path, DWORD filter = 6) {
    answer_ = path;
    answerFilter_ = filter;
    SendMessageA(form_->Handle(), WM_COMMAND, IDM_OPEN1, 0);
  }
  // Lets posted messages through the program's own loop until none is left.
  void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (form_ && IsWindow(form_->Handle()) && form_->PreviewMessage(message)) {
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  std::string Cell(int row, int column) const {
    char text[260] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(form_->Grid(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  int Rows() const { return static_cast<int>(SendMessageA(form_->Grid(), LVM_GETITEMCOUNT, 0, 0)); }
  std::string Summary() const {
    return WindowText(GetDlgItem(GetDlgItem(form_->Handle(), IDC_GROUPBOX1), IDC_LABEL2));
  }
  std::string Caption() const { return WindowText(form_->Handle()); }

  struct Request {
    std::string filter;  // the descriptions and patterns, each followed by a NUL
    DWORD filterIndex;
    std::string file;
    std::string title;
    DWORD flags;
    DWORD maxFile;
  };
  archive::ArchiveReader reader_;
  DialogSeam seam_;
  std::unique_ptr<TForm1> form_;
  std::filesystem::path dir_;
  std::vector<std::string> boxes_;  // "caption: text" of each box of ours
  std::vector<RECT> boxFrames_;
  std::function<void(HWND)> onBox_;
  std::vector<Request> requests_;
  std::string answer_;  // empty: cancel the open dialog
  DWORD answerFilter_ = 6;
};

}  // namespace lister::win32::testing
