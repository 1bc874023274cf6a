// The fixed texts of both programs' dialogue, as the tests expect them.
#pragma once

#include <string>

inline const std::string COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
inline const std::string EDGES_PROMPT =
    "Enter the edges (resource allocation and request) in the format u v:\n";
inline const std::string PROMPTS = COUNTS_PROMPT + EDGES_PROMPT;
inline const std::string CLAIM_PROMPT =
    "Enter a claim edge to check if it creates a cycle (format u v): ";

// The input of the worked example, without a claim edge, and its listing.
inline const std::string EXAMPLE_GRAPH = "2 2 3\n0 100\n100 1\n1 101\n";
inline const std::string EXAMPLE_LISTING =
    "Processes:\n  0\n  1\n\nResources:\n  100\n  101\n\n"
    "Request Edges:\n  0 -> 100\n  1 -> 101\n\nAllocation Edges:\n  100 -> 1\n";
