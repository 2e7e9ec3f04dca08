// "Check a student's count": the answer follows a pause in the typing, or
// Check; it does not flicker through every half-typed number.
export function countForm(checkCount) {
  const form = document.getElementById('check-form');
  const answer = document.getElementById('check-answer');
  const fields = ['source', 'distance', 'time', 'count'].map((name) => form.elements[name]);
  const update = () => { answer.textContent = checkCount(...fields.map((field) => field.value)); };
  let pause = null;
  form.addEventListener('input', () => {
    clearTimeout(pause);
    pause = setTimeout(update, 600);
  });
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    clearTimeout(pause);
    update();
  });
  update();
}
