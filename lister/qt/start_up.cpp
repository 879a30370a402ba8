#include "start_up.h"

namespace lister::window {

std::unique_ptr<TForm1> PrepareMainWindow(archive::ArchiveReader& reader,
                                          const std::vector<std::string>& args,
                                          DialogRunner runDialog) {
  std::string archivePath = args.empty() ? std::string() : args.front();
  auto form = std::make_unique<TForm1>(reader, std::move(runDialog));
  form->SetArchivePath(std::move(archivePath));
  form->PlaceFixedTexts();
  form->ListArchive();
  return form;
}

}  // namespace lister::window
