#include "util/SelfDeleteBatch.h"

namespace stub {

std::string SelfDeleteBatchText(const std::string& batchPath, const std::string& stubPath,
                                const std::string& stubFolder, bool removeFolder, const std::string& quote) {
  const std::string q = quote;
  std::string text = ":START\r\n";
  text += "DEL " + q + stubPath + q + "\r\n";
  text += "IF exist " + q + stubPath + q + " GOTO START\r\n";
  if (removeFolder) text += "RD " + q + stubFolder + q + "\r\n";
  text += "DEL " + q + batchPath + q + "\r\n";
  return text;
}

}  // namespace stub
