#ifndef PLOTDATA_H
#define PLOTDATA_H

#include <QList>
#include <QMetaType>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <type_traits>
#include <utility>

// One point of a line graph: key (time in seconds on the chart), value (NaN
// breaks the line) and four error extents.
class PlotData
{
public:
  PlotData() : key(0), value(0), keyErrorPlus(0), keyErrorMinus(0), valueErrorPlus(0), valueErrorMinus(0) {}
  PlotData(double key, double value)
      : key(key), value(value), keyErrorPlus(0), keyErrorMinus(0), valueErrorPlus(0), valueErrorMinus(0)
  {
  }

  double key, value;
  double keyErrorPlus, keyErrorMinus;
  double valueErrorPlus, valueErrorMinus;
};
Q_DECLARE_TYPEINFO(PlotData, Q_PRIMITIVE_TYPE);

// Key-ordered points, one per key, implicitly shared: a copy shares the
// points until either side writes. The points lie in one array in key order,
// so every walk over them reads memory in order. A point appended past the
// last key and points taken from the front cost constant time (amortised:
// the array reuses the room freed at its front); an insert or erase inside
// moves the points behind it. Many points at once go through insertPoints or
// a merge, which sort them once instead of moving the array per point.
//
// The entry key is the point's own `key` field: insert(key, point) stores the
// point under that key and sets the field to it. Unlike a tree map, any insert
// or erase invalidates the iterators into the map.
//
// Keys are compared with `<`; two keys are the same when neither is below the
// other. A NaN key therefore matches the first point it meets: the library's
// setters refuse NaN keys, and a map holds one only alone.
class PlotDataMap
{
  template <typename Point>
  class BasicIterator
  {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = PlotData;
    using difference_type = qsizetype;
    using pointer = Point *;
    using reference = Point &;

    BasicIterator() = default;
    explicit BasicIterator(Point *p) : p(p) {}
    // A mutable iterator reads as a const one.
    template <typename Other, typename = std::enable_if_t<std::is_const_v<Point> && !std::is_const_v<Other>>>
    BasicIterator(const BasicIterator<Other> &other) : p(other.p)
    {
    }

    double key() const { return p->key; }
    Point &value() const { return *p; }
    Point &operator*() const { return *p; }
    Point *operator->() const { return p; }
    Point &operator[](difference_type n) const { return p[n]; }

    BasicIterator &operator++() { ++p; return *this; }
    BasicIterator operator++(int) { BasicIterator old = *this; ++p; return old; }
    BasicIterator &operator--() { --p; return *this; }
    BasicIterator operator--(int) { BasicIterator old = *this; --p; return old; }
    BasicIterator &operator+=(difference_type n) { p += n; return *this; }
    BasicIterator &operator-=(difference_type n) { p -= n; return *this; }
    friend BasicIterator operator+(BasicIterator it, difference_type n) { return it += n; }
    friend BasicIterator operator+(difference_type n, BasicIterator it) { return it += n; }
    friend BasicIterator operator-(BasicIterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const BasicIterator &a, const BasicIterator &b) { return a.p - b.p; }

    friend bool operator==(const BasicIterator &a, const BasicIterator &b) { return a.p == b.p; }
    friend bool operator!=(const BasicIterator &a, const BasicIterator &b) { return a.p != b.p; }
    friend bool operator<(const BasicIterator &a, const BasicIterator &b) { return a.p < b.p; }
    friend bool operator>(const BasicIterator &a, const BasicIterator &b) { return a.p > b.p; }
    friend bool operator<=(const BasicIterator &a, const BasicIterator &b) { return a.p <= b.p; }
    friend bool operator>=(const BasicIterator &a, const BasicIterator &b) { return a.p >= b.p; }

  private:
    Point *p = nullptr;
    template <typename>
    friend class BasicIterator;
    friend class PlotDataMap;
  };

public:
  using key_type = double;
  using mapped_type = PlotData;
  using size_type = qsizetype;
  using difference_type = qsizetype;
  using iterator = BasicIterator<PlotData>;
  using const_iterator = BasicIterator<const PlotData>;
  using Iterator = iterator;
  using ConstIterator = const_iterator;

  // Walks the keys, as a tree map's key iterator does.
  class key_iterator
  {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = double;
    using difference_type = qsizetype;
    using pointer = const double *;
    using reference = const double &;

    key_iterator() = default;
    explicit key_iterator(const_iterator it) : it(it) {}
    const double &operator*() const { return it->key; }
    const double *operator->() const { return &it->key; }
    key_iterator &operator++() { ++it; return *this; }
    key_iterator operator++(int) { key_iterator old = *this; ++it; return old; }
    key_iterator &operator--() { --it; return *this; }
    key_iterator operator--(int) { key_iterator old = *this; --it; return old; }
    key_iterator &operator+=(difference_type n) { it += n; return *this; }
    friend key_iterator operator+(key_iterator k, difference_type n) { return k += n; }
    friend difference_type operator-(const key_iterator &a, const key_iterator &b) { return a.it - b.it; }
    friend bool operator==(const key_iterator &a, const key_iterator &b) { return a.it == b.it; }
    friend bool operator!=(const key_iterator &a, const key_iterator &b) { return a.it != b.it; }
    const_iterator base() const { return it; }

  private:
    const_iterator it;
  };

  PlotDataMap() = default;
  PlotDataMap(std::initializer_list<std::pair<double, PlotData>> points)
  {
    for (const auto &entry : points)
      insert(entry.first, entry.second);
  }

  qsizetype size() const { return d.size(); }
  qsizetype count() const { return d.size(); }
  qsizetype count(double key) const { return contains(key) ? 1 : 0; }
  bool isEmpty() const { return d.isEmpty(); }
  bool empty() const { return d.isEmpty(); }

  // Lets go of the points and their room; other sharers keep theirs.
  void clear() { d = QList<PlotData>(); }

  bool isDetached() const { return d.isDetached(); }
  bool isSharedWith(const PlotDataMap &other) const { return d.isSharedWith(other.d); }
  void detach() { d.detach(); }
  void reserve(qsizetype size) { d.reserve(size); }
  void squeeze() { d.squeeze(); }

  // The constant walk never detaches; the mutable one does, once.
  const_iterator begin() const { return constBegin(); }
  const_iterator end() const { return constEnd(); }
  const_iterator cbegin() const { return constBegin(); }
  const_iterator cend() const { return constEnd(); }
  const_iterator constBegin() const { return const_iterator(d.constData()); }
  const_iterator constEnd() const { return const_iterator(d.constData() + d.size()); }
  iterator begin() { return iterator(mutableData()); }
  iterator end() { return iterator(mutableData() + d.size()); }
  key_iterator keyBegin() const { return key_iterator(constBegin()); }
  key_iterator keyEnd() const { return key_iterator(constEnd()); }

  // The first point whose key is not below `key`, and the first above it.
  const_iterator lowerBound(double key) const
  {
    return std::lower_bound(constBegin(), constEnd(), key, [](const PlotData &p, double k) { return p.key < k; });
  }
  const_iterator upperBound(double key) const
  {
    return std::upper_bound(constBegin(), constEnd(), key, [](double k, const PlotData &p) { return k < p.key; });
  }
  iterator lowerBound(double key) { return mutableAt(std::as_const(*this).lowerBound(key)); }
  iterator upperBound(double key) { return mutableAt(std::as_const(*this).upperBound(key)); }

  const_iterator constFind(double key) const
  {
    const const_iterator it = lowerBound(key);
    return it != constEnd() && !(key < it.key()) ? it : constEnd();
  }
  const_iterator find(double key) const { return constFind(key); }
  iterator find(double key) { return mutableAt(constFind(key)); }
  bool contains(double key) const { return constFind(key) != constEnd(); }

  PlotData value(double key, const PlotData &defaultValue = PlotData()) const
  {
    const const_iterator it = constFind(key);
    return it != constEnd() ? *it : defaultValue;
  }
  QList<double> keys() const
  {
    QList<double> out;
    out.reserve(d.size());
    for (const PlotData &p : d)
      out.append(p.key);
    return out;
  }
  QList<PlotData> values() const { return d; }

  // Undefined on an empty map, as for any container.
  const PlotData &first() const { return d.constFirst(); }
  const PlotData &last() const { return d.constLast(); }
  PlotData &first() { return d.first(); }
  PlotData &last() { return d.last(); }
  double firstKey() const { return d.constFirst().key; }
  double lastKey() const { return d.constLast().key; }

  // Stores the point at `key`; a point already there is replaced (its key
  // stays). Past the last key this is an append.
  iterator insert(double key, PlotData point)
  {
    // `point` is a copy: it may have come from this very map.
    point.key = key;
    if (d.isEmpty() || d.constLast().key < key) {
      d.append(point);
      return iterator(&d.last());
    }
    // The place is found in the points as they are: a detaching look-up
    // would give a place in new storage, measured against the old.
    const qsizetype i = std::as_const(*this).lowerBound(key) - constBegin();
    if (i < d.size() && !(key < d.at(i).key)) {
      PlotData &held = d[i];
      const double entryKey = held.key;
      held = point;
      held.key = entryKey;
      return iterator(&held);
    }
    d.insert(i, point);
    return iterator(d.data() + i);
  }
  // The position is only a hint, as in a tree map.
  iterator insert(const_iterator, double key, const PlotData &point) { return insert(key, point); }

  // Merges `other` in; at a key both hold, the point of `other` wins.
  void insert(const PlotDataMap &other) { mergeSorted(other.d, false); }

  // Stores points given in any order, each under its own `key`, with the
  // result of inserting them one by one: at a key given twice the later point
  // wins, and a key the map holds already keeps its entry key. They are
  // sorted once (stably) and merged, so any order costs O(n log n). The
  // caller keeps NaN keys out.
  void insertPoints(QList<PlotData> points)
  {
    if (points.isEmpty())
      return;
    PlotData *p = points.data();
    const qsizetype n = points.size();
    const auto byKey = [](const PlotData &a, const PlotData &b) { return a.key < b.key; };
    if (!std::is_sorted(p, p + n, byKey))
      std::stable_sort(p, p + n, byKey);
    // One point per run of equal keys: the last one given, under the key
    // first given (as a later insert overwrites all but the entry key).
    qsizetype out = 0;
    for (qsizetype i = 0; i < n;) {
      qsizetype j = i + 1;
      while (j < n && !(p[i].key < p[j].key))
        ++j;
      const double key = p[i].key;
      p[out] = p[j - 1];
      p[out].key = key;
      ++out;
      i = j;
    }
    points.resize(out);
    mergeSorted(points, true);
  }

  // Removes one point or a run of them; returns the position after. Taking
  // points from the front moves nothing.
  iterator erase(const_iterator it) { return erase(it, it + 1); }
  iterator erase(const_iterator from, const_iterator to)
  {
    const qsizetype i = from - constBegin();
    const qsizetype n = to - from;
    if (n > 0)
      d.remove(i, n);
    return iterator(mutableData() + i);
  }
  qsizetype remove(double key)
  {
    const const_iterator it = constFind(key);
    if (it == constEnd())
      return 0;
    erase(it);
    return 1;
  }
  PlotData take(double key)
  {
    const const_iterator it = constFind(key);
    if (it == constEnd())
      return PlotData();
    const PlotData point = *it;
    erase(it);
    return point;
  }

  friend bool operator==(const PlotDataMap &a, const PlotDataMap &b)
  {
    if (a.d.isSharedWith(b.d))
      return true;
    return std::equal(a.constBegin(), a.constEnd(), b.constBegin(), b.constEnd(),
                      [](const PlotData &x, const PlotData &y) {
                        return x.key == y.key && x.value == y.value && x.keyErrorPlus == y.keyErrorPlus &&
                               x.keyErrorMinus == y.keyErrorMinus && x.valueErrorPlus == y.valueErrorPlus &&
                               x.valueErrorMinus == y.valueErrorMinus;
                      });
  }
  friend bool operator!=(const PlotDataMap &a, const PlotDataMap &b) { return !(a == b); }

private:
  // Merges points sorted by strictly ascending key. Only the points from the
  // first incoming key on are rewritten; those below it stay in place, and
  // points past the last key are appended. At a key both hold the incoming
  // point wins, under the held entry key when `heldKeyStays`.
  void mergeSorted(const QList<PlotData> &in, bool heldKeyStays)
  {
    if (in.isEmpty())
      return;
    if (isEmpty()) {
      d = in;
      return;
    }
    if (lastKey() < in.constFirst().key) {
      d.append(in);
      return;
    }
    // Found without detaching: `in` may share these very points.
    const qsizetype keep = std::as_const(*this).lowerBound(in.constFirst().key) - constBegin();
    const PlotData *a = d.constData() + keep, *aEnd = d.constData() + d.size();
    const PlotData *b = in.constData(), *bEnd = b + in.size();
    QList<PlotData> tail;
    tail.reserve((aEnd - a) + (bEnd - b));
    while (a != aEnd && b != bEnd) {
      if (a->key < b->key) {
        tail.append(*a++);
      } else if (b->key < a->key) {
        tail.append(*b++);
      } else {
        tail.append(*b++);
        if (heldKeyStays)
          tail.last().key = a->key;
        ++a;
      }
    }
    for (; a != aEnd; ++a)
      tail.append(*a);
    for (; b != bEnd; ++b)
      tail.append(*b);
    // `in` may be this map's own storage: it is read to the end above.
    d.resize(keep);
    d.append(std::move(tail));
  }

  // The mutable iterator at a constant one's place; detaches first.
  iterator mutableAt(const_iterator it)
  {
    const qsizetype i = it - constBegin();
    return iterator(mutableData() + i);
  }

  // Writable points; an empty map has none to write, so nothing is allocated.
  PlotData *mutableData() { return d.isEmpty() ? const_cast<PlotData *>(d.constData()) : d.data(); }

  QList<PlotData> d;
};

#endif // PLOTDATA_H
