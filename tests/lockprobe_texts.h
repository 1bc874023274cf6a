// The fixed sentences of lockprobe's dialogue, as the tests expect them.
#pragma once

#include <string>

inline const std::string PROMPTS =
    "Enter the number of processes, resources, and edges: "
    "Enter the edges (resource allocation and request) in the format u v:\n";
inline const std::string CLAIM_PROMPT =
    "Enter a claim edge to check if it creates a cycle (format u v): ";

inline std::string verdict_lines(bool deadlocked) {
  return deadlocked ? "\nThe graph contains a cycle (Deadlocked).\n"
                    : "\nThe graph does not contain a cycle (Not deadlocked).\n";
}
