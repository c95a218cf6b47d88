#include "records/dialogue_order.h"

#include <unordered_map>

namespace landfer {

std::vector<size_t> chainOrder(const std::vector<ResponseLink>& responses) {
    std::unordered_map<std::string, size_t> byId;
    for (size_t i = 0; i < responses.size(); ++i) byId.emplace(responses[i].id, i);
    std::vector<std::vector<size_t>> followers(responses.size());
    std::vector<size_t> roots;
    for (size_t i = 0; i < responses.size(); ++i) {
        auto previous = responses[i].previous.empty() ? byId.end() : byId.find(responses[i].previous);
        if (previous == byId.end() || previous->second == i)
            roots.push_back(i);
        else
            followers[previous->second].push_back(i);
    }
    std::vector<size_t> order;
    std::vector<bool> placed(responses.size(), false);
    auto walk = [&](size_t root) {
        std::vector<size_t> stack = {root};
        while (!stack.empty()) {
            const size_t at = stack.back();
            stack.pop_back();
            if (placed[at]) continue;
            placed[at] = true;
            order.push_back(at);
            for (auto follower = followers[at].rbegin(); follower != followers[at].rend(); ++follower)
                stack.push_back(*follower);
        }
    };
    for (size_t root : roots) walk(root);
    for (size_t i = 0; i < responses.size(); ++i)
        if (!placed[i]) walk(i);
    return order;
}

}  // namespace landfer
