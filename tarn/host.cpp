#include "tarn.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarn {

void Host::Reset() {
  objects_.clear();
  objects_[1].kind = "root";
  next_ = 2;
  errors_.clear();
  errorResult_ = 0;
  progressBar_ = false;
  progressHandler_ = nullptr;
  if (observer_) observer_->OnReset();
}

Handle Host::Root() const { return 1; }

Handle Host::NewObject(const std::string& kind) {
  Handle h = next_++;
  objects_[h].kind = kind;
  return h;
}

bool Host::Exists(Handle object) const { return objects_.count(object) != 0; }

std::string Host::KindOf(Handle object) const {
  const Object* o = Lookup(object);
  return o ? o->kind : std::string();
}

void Host::Delete(Handle object) {
  if (object == Root()) return;
  auto it = objects_.find(object);
  if (it == objects_.end()) return;
  DeletedObject gone{object, std::move(it->second.kind), std::move(it->second.properties)};
  objects_.erase(it);
  if (observer_) observer_->OnDelete(gone);
}

size_t Host::ObjectCount() const { return objects_.size(); }

Host::Object* Host::Lookup(Handle object) {
  auto it = objects_.find(object);
  return it == objects_.end() ? nullptr : &it->second;
}

const Host::Object* Host::Lookup(Handle object) const {
  auto it = objects_.find(object);
  return it == objects_.end() ? nullptr : &it->second;
}

void Host::Set(Handle object, const std::string& name, Property value) {
  if (Object* o = Lookup(object)) o->properties[name] = std::move(value);
}

const Property* Host::Find(Handle object, const std::string& name) const {
  const Object* o = Lookup(object);
  if (!o) return nullptr;
  auto it = o->properties.find(name);
  return it == o->properties.end() ? nullptr : &it->second;
}

void Host::Remove(Handle object, const std::string& name) {
  if (Object* o = Lookup(object)) o->properties.erase(name);
}

void Host::SetRoutine(Handle object, const std::string& name,
                      std::function<int(Handle)> routine) {
  if (Object* o = Lookup(object)) o->routines[name] = std::move(routine);
}

const std::vector<ErrorRecord>& Host::Errors() const { return errors_; }

std::vector<std::string> Host::Messages() const {
  std::vector<std::string> out;
  for (const ErrorRecord& e : errors_) out.push_back(e.message);
  return out;
}

void Host::ClearErrors() { errors_.clear(); }
void Host::SetErrorResult(int result) { errorResult_ = result; }
void Host::SetEchoErrors(bool echo) { echo_ = echo; }

void Host::SetErrorSink(ErrorSink sink) { sink_ = std::move(sink); }
void Host::SetObserver(Observer* observer) { observer_ = observer; }

Verdict Host::Observe(const char* operation, Handle object, const char* name) {
  return observer_ ? observer_->OnCall(operation, object, name) : Verdict{};
}

void Host::SetBytes(Handle object, const std::string& name, const char* bytes, size_t count) {
  Object* o = Lookup(object);
  if (!o) return;
  // A drawing object gets a new block for every Draw: overwrite the old
  // one in place rather than allocating afresh.
  Property& p = o->properties[name];
  if (Bytes* b = std::get_if<Bytes>(&p)) {
    b->assign(bytes, count);
  } else {
    p = Bytes(bytes, count);
  }
}

int Host::RecordError(Handle object, const char* message) {
  errors_.push_back({object, message ? message : ""});
  if (echo_) std::fprintf(stderr, "vorda: %s\n", errors_.back().message.c_str());
  // A copy: a sink that calls vorda again may grow the log under it.
  if (sink_) sink_(ErrorRecord(errors_.back()));
  return errorResult_;
}

int Host::CallRoutine(Handle object, const char* name) {
  Object* o = Lookup(object);
  if (!o || !name) return 0;
  auto it = o->routines.find(name);
  if (it == o->routines.end()) return 0;
  // Copy the callable: the routine may replace itself or delete its object.
  std::function<int(Handle)> routine = it->second;
  return routine(object);
}

Host& host() {
  static Host instance;
  return instance;
}

}  // namespace tarn
